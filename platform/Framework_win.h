#pragma once
// The small dialog framework the program is written against: an application
// object, one C++ object per window with one handler per message, dialogs
// from templates with their own modal loop, data exchange, buttons with
// reflected owner-draw and colour messages, and the application message box.
#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/Handles_win.h"
#include "platform/Messages_win.h"

class CWnd;
class CDialog;
class CDataExchange;
class COleControlContainer;
class COleControlSite;
struct EventSinkMap;

// ---------------------------------------------------------------------------
// Application

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The whole program when it returns FALSE: the framework then exits
    // without running a message loop of its own.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    virtual int Run();

    HINSTANCE m_hInstance = nullptr;
    std::wstring m_strAppName;  // the executable's file name without extension
    CWnd* m_pMainWnd = nullptr;
    int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The entry point's body: names the application, runs InitInstance.
int AfxWinMain(HINSTANCE instance);
// The application message box: captioned with the application's name.
int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);

// ---------------------------------------------------------------------------
// The control container. Dialog templates may hold ActiveX controls (class =
// a CLSID in braces); they are taken out of the template before the dialog
// is created and, once it exists, created through the installed manager
// before OnInitDialog. Until a manager is installed they are skipped.

class COccManager {
public:
    virtual ~COccManager() = default;
    // The site of one control; a derived manager gives its own kind.
    virtual COleControlSite* CreateSite(COleControlContainer* container);
    // Creates the controls of one dialog into its container.
    virtual BOOL CreateDlgControls(CDialog* dialog, const std::vector<DialogControl>& controls);
    // The dialog's window is going away: every control and site goes with it.
    virtual void OnDialogDestroy(CDialog* dialog);
};

// Installs a manager; null installs the framework's default one, whose sites
// are plain COleControlSites.
void AfxEnableControlContainer(COccManager* manager = nullptr);
// Back to skipping template controls, as before the first installation.
void AfxDisableControlContainer();
COccManager* AfxGetOccManager();

// ---------------------------------------------------------------------------
// Windows

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // A weak reference for the length of one dispatch: false once the object
    // is destroyed or unbound from its window. A handler may destroy its own
    // window (and a self-deleting object with it), also from inside a nested
    // modal run; whoever dispatched to it checks one of these before touching
    // the object again.
    class BoundCheck {
    public:
        explicit BoundCheck(CWnd* wnd);
        ~BoundCheck();
        BoundCheck(const BoundCheck&) = delete;
        BoundCheck& operator=(const BoundCheck&) = delete;
        explicit operator bool() const { return wnd_ != nullptr; }

    private:
        friend class CWnd;
        CWnd* wnd_;
        BoundCheck* next_ = nullptr;
    };

    // The object bound to a window, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);
    // Offers a queued message to PreTranslateMessage of each bound window from
    // the message's window up through GetParent (owners of popups included);
    // TRUE when one consumed it.
    static BOOL WalkPreTranslateTree(MSG* msg);

    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Binds this object to an existing window and routes its messages here.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    // Thin conveniences over the window calls.
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
    void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void SetWindowText(const std::wstring& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    LRESULT SendMessage(UINT m, WPARAM w = 0, LPARAM l = 0) { return ::SendMessageW(m_hWnd, m, w, l); }
    BOOL PostMessage(UINT m, WPARAM w = 0, LPARAM l = 0) { return ::PostMessageW(m_hWnd, m, w, l); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }

    // For an ActiveX control bound with DDX_Control: its site, and a call of
    // its IDispatch through it (arguments first to last). E_FAIL without one.
    COleControlSite* GetControlSite() const { return m_pCtrlSite; }
    HRESULT InvokeHelper(DISPID id, WORD flags, VARIANT* result, std::vector<VARIANT> args = {});

protected:
    // The message map: each class handles its messages and passes the rest
    // to its base; CWnd's reflects control messages and ends in DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A reflected notification (owner draw, control colours) for this control;
    // TRUE with *result when handled.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Command from a menu, accelerator or control; TRUE when handled.
    virtual BOOL OnCommand(const msg::Command& command);
    // The window is gone and the object unbound.
    virtual void PostNcDestroy() {}
    // An existing window is about to be bound to this object (a dialog's
    // control through data exchange): the place to adjust its styles.
    virtual void PreSubclassWindow() {}

    void Bind(HWND hwnd);
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // While set, the next window this thread creates is bound to the object
    // at its first message (the way the framework hooks window creation).
    struct CreationHook {
        explicit CreationHook(CWnd* wnd);
        ~CreationHook();
        CreationHook(const CreationHook&) = delete;
        CreationHook& operator=(const CreationHook&) = delete;
        CWnd* previous;
        ScopedHook hook;
    };

private:
    friend struct CreationHookAccess;
    void BreakBoundChecks();

    friend void DDX_Control(CDataExchange* pDX, int idControl, CWnd& control);
    WNDPROC m_pfnSuper = nullptr;
    BoundCheck* m_pBoundChecks = nullptr;
    COleControlSite* m_pCtrlSite = nullptr;  // not owned: the dialog's container holds it
};

// ---------------------------------------------------------------------------
// Dialogs

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds a control of the dialog to a window object (once).
void DDX_Control(CDataExchange* pDX, int idControl, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT idTemplate, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the dialog modeless from its template, disables the owner and
    // runs a modal loop until EndDialog; -1 when it cannot be created or a
    // quit message ended the loop (the quit is posted again for the loop outside).
    virtual INT_PTR DoModal();
    // Modeless creation with the given owner (its own template id).
    BOOL Create(UINT idTemplate, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX) { (void)pDX; }
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* msg) override;

    // The ActiveX entries taken out of the template, for the control container.
    const std::vector<DialogControl>& ActiveXControls() const { return m_activeX; }
    UINT TemplateId() const { return m_idTemplate; }
    bool InModalLoop() const { return m_bContinueModal; }

    // The dialog's ActiveX controls; null when it has none.
    COleControlContainer* ControlContainer() const { return m_pCtrlCont.get(); }
    void SetControlContainer(std::unique_ptr<COleControlContainer> container);
    // An event of one of its controls; TRUE when the event-sink map handled it.
    BOOL OnControlEvent(UINT controlId, DISPID dispid, DISPPARAMS& params);
    virtual const EventSinkMap* GetEventSinkMap() const { return nullptr; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(const msg::Command& command) override;

    UINT m_idTemplate;
    CWnd* m_pParentWnd;

private:
    BOOL CreateFromTemplate(HWND owner);
    INT_PTR RunModalLoop();
    BOOL HandleInitDialog();
    static INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<DialogControl> m_activeX;
    std::unique_ptr<COleControlContainer> m_pCtrlCont;
    int m_nModalResult = -1;
    bool m_bContinueModal = false;
};

class CDialogEx : public CDialog {
public:
    using CDialog::CDialog;
    void SetBackgroundColor(COLORREF color);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    ScopedBrush m_brBackground;
};

// ---------------------------------------------------------------------------
// Buttons: owner-draw and colour messages reach the object.

class CButton : public CWnd {
public:
    virtual void DrawItem(LPDRAWITEMSTRUCT item) { (void)item; }
    // A brush for the control's background, or null for the default.
    virtual HBRUSH CtlColor(HDC dc, UINT ctlColorMessage)
    {
        (void)dc;
        (void)ctlColorMessage;
        return nullptr;
    }

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
