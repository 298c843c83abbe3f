#include "app/TavrinApp.h"

#include <commctrl.h>
#include <ole2.h>
#include <winsock.h>

#include "app/AppPath.h"
#include "app/BrowserHosting.h"
#include "app/BuiltInControls.h"
#include "app/Settings.h"
#include "app/StartupSteps.h"
#include "launcher/TavrinDlg.h"
#include "platform/SettingsStore.h"
#include "updater/UpdatePass.h"
#include "updater/Win32Updater.h"

BOOL CTavrinApp::InitInstance()
{
    EnableDebugPrivilege();
    SetBrowserEmulation(m_strAppName);
    AfxEnableControlContainer();
    OleInitialize(nullptr);
    RegisterBuiltInControls();
    RunLauncher();
    RevokeBuiltInControls();
    OleUninitialize();
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
    SetAppDir(AppDirFromModulePath(ModulePathAnsi()));
    AssignRunTimeSettings();
    SetUpdateServices(UpdateServices{&Win32NoticeSink(), &DefaultSettingsStore(), &Win32Alert()});
    {
        CTavrinDlg dlg(nullptr);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        WSACleanup();
        m_pMainWnd = nullptr;
    }
}
