#pragma once
#include <windows.h>

class CTavrinDlg;

// The launcher's own update pass, started while it initialises.
void StartLauncherUpdatePass(HWND launcher);

// WM_UPDATE_NOTICE at the launcher: on an announced update, runs the update
// dialog and hands over to the installer. Destroys the record. Returns 0.
LRESULT HandleLauncherUpdateNotice(CTavrinDlg& launcher, LPARAM record);
