#pragma once
// The progress dialog of an update: runs its own pass and shows the
// downloads; ends with IDOK once the installer is on disk, and only then.
// Enter does nothing; Escape and the close box abandon the update (its pass
// stops at its next report and leaves no file) and end with IDCANCEL.
#include "platform/Framework_win.h"
#include "updater/HttpCallBack.h"

class CUpdateDlg : public CDialog {
public:
    explicit CUpdateDlg(CWnd* parent = nullptr);

    CWnd m_progress;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnUpdateNotice(const CHttpCallBack& notice);
    int m_nTotal = 0;
};
