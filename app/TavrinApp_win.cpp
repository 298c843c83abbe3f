#include "app/TavrinApp_win.h"

#include <commctrl.h>
#include <winsock.h>

#include "app/AppPath.h"
#include "app/BrowserHosting_win.h"
#include "app/BuiltInControls_win.h"
#include "settings/Settings.h"
#include "app/StartupSteps_win.h"
#include "launcher/TavrinDlg_win.h"
#include "platform/Com_win.h"
#include "platform/SettingsStore.h"
#include "updater/UpdatePass.h"
#include "updater/UpdateServices_win.h"

BOOL CTavrinApp::InitInstance()
{
    EnableDebugPrivilege();
    SetBrowserEmulation(m_strAppName);
    AfxEnableControlContainer();
    OleSession ole;
    RegisterBuiltInControls();
    RunLauncher();
    RevokeBuiltInControls();
    return FALSE;
}

void CTavrinApp::RunLauncher()
{
    COccManager* occManager = CreateCustomOccManager();
    m_pExternalDispatch = CreateExternalDispatch();
    InitCommonControls();
    AfxEnableControlContainer(occManager);
    WSADATA wsa;
    WSAStartup(0x0101, &wsa);
    const std::optional<std::string> modulePath = ModulePathAnsi();
    SetAppDir(modulePath ? AppDirFromModulePath(*modulePath) : std::string());
    AssignRunTimeSettings();
    if (modulePath) {
        ConfigureUpdates(UpdateServices{&Win32NoticeSink(), &DefaultSettingsStore(), &Win32Alert()},
                         UpdateSettings{SettingsFilePath(), InstallerFilePath(), g_strUpdateBase, g_strVersion});
    } else {
        // No directory the program can name without changing it: writing the
        // settings file or the installer could land anywhere, so this start
        // runs without self-update, and says so once.
        MessageBoxW(nullptr, L"程序所在文件夹的名称无法识别，本次启动不进行自动升级。", L"提示",
                    MB_OK | MB_ICONEXCLAMATION);
    }
    {
        CTavrinDlg dlg(nullptr);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        WSACleanup();
        m_pMainWnd = nullptr;
    }
}
