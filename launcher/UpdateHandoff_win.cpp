#include "launcher/UpdateHandoff_win.h"

#include <windows.h>
#include <shellapi.h>

#include "launcher/TavrinDlg_win.h"
#include "settings/Settings.h"
#include "updater/UpdateDlg_win.h"

void HandleLauncherUpdateNotice(CTavrinDlg& launcher, const CHttpCallBack& notice)
{
    if (notice.nStatus != HCB_UPDATE_AVAILABLE)
        return;

    CUpdateDlg update(nullptr);
    if (update.DoModal() != IDOK)
        return;

    // The notice may arrive while the game window is open and the launcher
    // hidden: whatever the installer does, each window ends as it was.
    HWND page = launcher.m_webWnd.m_hWnd;
    const bool pageWasVisible = page && IsWindow(page) && IsWindowVisible(page);
    const bool launcherWasVisible = launcher.IsWindowVisible() != FALSE;
    if (page && IsWindow(page))
        ShowWindow(page, SW_HIDE);
    launcher.ShowWindow(SW_HIDE);
    AfxMessageBox(L"程序升级完毕,即将重新启动", MB_OK | MB_ICONEXCLAMATION);
    const std::string quoted = "\"" + InstallerFilePath() + "\"";
    auto started = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", quoted.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (started > 32)
        ExitProcess(0);
    // The installer did not start (declined elevation, say): carry on with
    // this version rather than exit into nothing.
    if (launcherWasVisible)
        launcher.ShowWindow(SW_SHOW);
    if (pageWasVisible && IsWindow(page))
        ShowWindow(page, SW_SHOW);
}
