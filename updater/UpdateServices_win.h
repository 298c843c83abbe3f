#pragma once
// The Windows program's update services. Both live until the process ends.
class IAlert;
class INoticeSink;

// Posts WM_UPDATE_NOTICE (wParam 0, lParam the notice) to the notice's hTarget.
INoticeSink& Win32NoticeSink();
// MessageBoxW with no owner and an OK button.
IAlert& Win32Alert();
