#include "platform/Framework_win.h"

#include "platform/EventSinkMap_win.h"
#include "platform/OleControlSite_win.h"
#include "platform/ResourceBytes_win.h"

namespace {

// The owner a dialog without an explicit parent gets: the application's
// main window, as long as it is not the dialog itself.
HWND SafeOwner(CWnd* parent, const CWnd* self)
{
    HWND owner = parent ? parent->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != self && IsWindow(main->m_hWnd))
            owner = main->m_hWnd;
    }
    if (owner)
        owner = GetAncestor(owner, GA_ROOT);
    return owner;
}

bool IsIdleMessage(const MSG& msg)
{
    // Mouse moves and caret blinks come all the time and mean nothing new.
    return msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE && msg.message != WM_PAINT &&
           msg.message != 0x0118;  // WM_SYSTIMER
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int idControl, CWnd& control)
{
    if (control.m_hWnd || !pDX || !pDX->m_pDlgWnd)
        return;
    if (!control.SubclassDlgItem(static_cast<UINT>(idControl), pDX->m_pDlgWnd))
        return;
    // An ActiveX control is called through its site.
    if (auto* dialog = dynamic_cast<CDialog*>(pDX->m_pDlgWnd)) {
        if (COleControlContainer* container = dialog->ControlContainer())
            control.m_pCtrlSite = container->FindSite(static_cast<UINT>(idControl));
    }
}

// The dispatch: the control container lets go of the dialog's controls
// before its window goes; OK and Cancel commands reach OnOK and OnCancel.
LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY && m_pCtrlCont) {
        if (COccManager* occ = AfxGetOccManager())
            occ->OnDialogDestroy(this);
        if (m_pCtrlCont) {
            m_pCtrlCont->Teardown();
            m_pCtrlCont.reset();
        }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCommand(const msg::Command& command)
{
    if (command.code == BN_CLICKED || command.code == 0) {
        switch (command.id) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            break;
        }
    }
    return CWnd::OnCommand(command);
}

CDialog::CDialog(UINT idTemplate, CWnd* parent) : m_idTemplate(idTemplate), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    if (m_hWnd && IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    if (m_pCtrlCont)
        m_pCtrlCont->Teardown();
}

void CDialog::SetControlContainer(std::unique_ptr<COleControlContainer> container)
{
    if (m_pCtrlCont)
        m_pCtrlCont->Teardown();
    m_pCtrlCont = std::move(container);
}

BOOL CDialog::OnControlEvent(UINT controlId, DISPID dispid, DISPPARAMS& params)
{
    for (const EventSinkMap* map = GetEventSinkMap(); map; map = map->base) {
        for (const EventSinkEntry& entry : map->entries) {
            if (entry.controlId == controlId && entry.dispid == dispid)
                return entry.invoke(*this, params) ? TRUE : FALSE;
        }
    }
    return FALSE;
}

BOOL CDialog::CreateFromTemplate(HWND owner)
{
    HINSTANCE instance = AfxGetResourceHandle();
    std::span<const uint8_t> bytes =
        ResourceBytes(instance, MAKEINTRESOURCEW(m_idTemplate), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (bytes.empty())
        return FALSE;
    std::optional<StrippedTemplate> stripped = StripActiveXControls(bytes.data(), bytes.size());
    if (!stripped)
        return FALSE;
    m_activeX = std::move(stripped->activeX);
    HWND hwnd;
    {
        CreationHook hook(this);
        hwnd = CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(stripped->bytes.data()),
                                          owner, &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
    }
    if (!hwnd) {
        if (m_hWnd)
            UnsubclassWindow();
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::Create(UINT idTemplate, CWnd* parent)
{
    m_idTemplate = idTemplate;
    m_pParentWnd = parent;
    if (m_hWnd)
        return FALSE;
    return CreateFromTemplate(parent ? parent->m_hWnd : nullptr);
}

INT_PTR CDialog::DoModal()
{
    HWND owner = SafeOwner(m_pParentWnd, this);
    bool reenableOwner = false;
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        reenableOwner = true;
    }
    m_nModalResult = -1;
    m_bContinueModal = true;
    if (CreateFromTemplate(owner)) {
        if (m_bContinueModal)
            RunModalLoop();
    }
    m_bContinueModal = false;
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (reenableOwner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (owner && m_hWnd && GetActiveWindow() == m_hWnd)
        SetActiveWindow(owner);
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    return m_nModalResult;
}

INT_PTR CDialog::RunModalLoop()
{
    bool idle = true;
    bool shown = false;
    MSG msg;
    for (;;) {
        // A template without WS_VISIBLE shows once the loop first has nothing to do.
        while (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!shown && m_hWnd && !(GetStyle() & WS_VISIBLE)) {
                ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
                ::UpdateWindow(m_hWnd);
            }
            shown = true;
            idle = false;
        }
        do {
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                // The loop outside must end too.
                PostQuitMessage(static_cast<int>(msg.wParam));
                m_nModalResult = -1;
                m_bContinueModal = false;
                return -1;
            }
            if (!CWnd::WalkPreTranslateTree(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (!m_bContinueModal || !m_hWnd)
                return m_nModalResult;
            if (IsIdleMessage(msg))
                idle = true;
        } while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    if (m_bContinueModal) {
        m_bContinueModal = false;
        // Wake the loop in case this came from outside a dispatched message.
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    }
    if (m_hWnd)
        ::EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (CWnd::PreTranslateMessage(msg))
        return TRUE;
    const bool key = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    const bool input = key || (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
    if (!input || !m_hWnd)
        return FALSE;
    // The in-place active control sees its keys before the dialog manager
    // does, so that it can run its own accelerators (or refuse them).
    if (key && m_pCtrlCont && m_pCtrlCont->PreTranslateKey(msg))
        return TRUE;
    return ::IsDialogMessageW(m_hWnd, msg);
}


BOOL CDialog::HandleInitDialog()
{
    if (!m_activeX.empty()) {
        if (COccManager* occ = AfxGetOccManager())
            occ->CreateDlgControls(this, m_activeX);
    }
    return OnInitDialog();
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
    if (!dialog)
        return TRUE;
    try {
        return dialog->HandleInitDialog();
    } catch (...) {
        return TRUE;
    }
}

void CDialogEx::SetBackgroundColor(COLORREF color)
{
    m_brBackground.Reset(CreateSolidBrush(color));
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT CDialogEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORDLG && m_brBackground)
        return reinterpret_cast<LRESULT>(m_brBackground.Get());
    return CDialog::WindowProc(message, wParam, lParam);
}
