#pragma once
// The Windows program's update services. Both live until the process ends.
#include <windows.h>

class IAlert;
class INoticeSink;

// Posts WM_UPDATE_NOTICE (wParam 0, lParam the notice) to the notice's hTarget.
INoticeSink& Win32NoticeSink();
// MessageBoxW with no owner and an OK button.
IAlert& Win32Alert();

// Frees the notices still queued for a window that is going away (the system
// would drop the messages and leak their records).
void DiscardQueuedUpdateNotices(HWND window);
