#pragma once
#include "platform/Framework.h"

// The launcher window: a frameless popup whose face is the movie.
class CTavrinDlg : public CDialog {
public:
    explicit CTavrinDlg(CWnd* parent = nullptr);
    ~CTavrinDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnActivate(UINT state);
    void OnPaint();

    HICON m_hIcon;
};
