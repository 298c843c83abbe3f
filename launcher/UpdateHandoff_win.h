#pragma once
// The launcher's side of an update: on an announced update it runs the update
// dialog and hands over to the installer.
#include "updater/HttpCallBack.h"

class CTavrinDlg;

// A notice of the launcher's own update pass. Every status but an announced
// update is ignored.
void HandleLauncherUpdateNotice(CTavrinDlg& launcher, const CHttpCallBack& notice);
