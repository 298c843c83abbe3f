#include "platform/FileTitle.h"
#include "platform/Framework_win.h"
#include "platform/ModulePath_win.h"

namespace {
CWinApp* g_app = nullptr;
COccManager* g_occManager = nullptr;
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::ExitInstance() { return m_nExitCode; }

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!CWnd::WalkPreTranslateTree(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
HINSTANCE AfxGetInstanceHandle() { return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleW(nullptr); }
HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    app->m_strAppName = FileTitleFromPath(ModuleFileNameW());
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}

int AfxMessageBox(const std::wstring& text, UINT type)
{
    CWinApp* app = AfxGetApp();
    CWnd* main = AfxGetMainWnd();
    HWND owner = (main && IsWindow(main->m_hWnd)) ? main->m_hWnd : nullptr;
    std::wstring caption = app ? app->m_strAppName : std::wstring();
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

void AfxEnableControlContainer(COccManager* manager)
{
    static COccManager defaultManager;
    g_occManager = manager ? manager : &defaultManager;
}
void AfxDisableControlContainer() { g_occManager = nullptr; }
COccManager* AfxGetOccManager() { return g_occManager; }
