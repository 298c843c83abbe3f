#include "updater/UpdateDlg_win.h"

#include <commctrl.h>

#include <algorithm>

#include "resources/ResourceIds.h"
#include "updater/UpdateNotices.h"
#include "updater/UpdatePass.h"
#include "updater/UpdateServices_win.h"

// The dispatch: the notices of the dialog's own pass; those still queued
// when the window goes are freed.
LRESULT CUpdateDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_UPDATE_NOTICE:
        if (std::optional<CHttpCallBack> notice = TakeUpdateNotice(lParam))
            OnUpdateNotice(*notice);
        return 0;
    case WM_DESTROY:
        DiscardQueuedUpdateNotices(m_hWnd);
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

CUpdateDlg::CUpdateDlg(CWnd* parent) : CDialog(IDD_UPDATE, parent) {}

void CUpdateDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_UPDATE_PROGRESS, m_progress);
}

BOOL CUpdateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    StartUpdatePass(m_hWnd);
    return TRUE;
}

void CUpdateDlg::OnOK()
{
    // The template has no buttons; Enter must not end the dialog as if the
    // installer were ready.
}

void CUpdateDlg::OnCancel()
{
    // A newer job number makes the running pass stale: it stops at its next
    // report and its temporary goes with it.
    ++UpdateJobCounter();
    EndDialog(IDCANCEL);
}

void CUpdateDlg::OnUpdateNotice(const CHttpCallBack& notice)
{
    const int value = notice.nValue;
    switch (notice.nStatus) {
    case HCB_LENGTH_KNOWN:
        // The range is in bytes, so the bar ends exactly with the last byte,
        // whatever the size; an empty body still has a range to fill.
        m_nTotal = std::max(value, 0);
        m_progress.SendMessage(PBM_SETRANGE32, 0, std::max(m_nTotal, 1));
        m_progress.SendMessage(PBM_SETPOS, 0, 0);
        break;
    case HCB_PROGRESS:
        m_progress.SendMessage(PBM_SETPOS, static_cast<WPARAM>(value), 0);
        break;
    case HCB_FINISHED:
        if (m_nTotal == 0)
            m_progress.SendMessage(PBM_SETPOS, 1, 0);
        break;
    case HCB_STARTING:
    case HCB_UPDATE_AVAILABLE:
        break;
    case HCB_INSTALLER_READY:
        EndDialog(IDOK);
        break;
    case HCB_OPEN_FILE_FAILED:
        AfxMessageBox(L"更新：保存升级文件错误，请采用管理员模式运行", MB_OK | MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
        break;
    default:
        EndDialog(IDCANCEL);
        break;
    }
}
