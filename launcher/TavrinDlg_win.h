#pragma once
#include <string>

#include "browser/WebWndOwner.h"
#include "browser/WebWnd_win.h"
#include "flashhost/FlashDlgBase_win.h"
#include "platform/Framework_win.h"
#include "platform/Geometry.h"

struct CHttpCallBack;

// The launcher window: a frameless, per-pixel-transparent popup whose face is
// the movie, with the embedded page window kept over part of it. The movie
// drives it with its commands.
class CTavrinDlg : public CDialog, public CFlashDlgBase, public IWebWndOwner {
public:
    // Destroyed in member order: the page window, then the movie host,
    // then the dialog's own window.
    explicit CTavrinDlg(CWnd* parent = nullptr);

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The command set; the texts are in the ANSI code page. Returns 0.
    int OnFSCommand(const std::string& command, const std::string& args);
    HRESULT OnFSCommand(const std::wstring& command, const std::wstring& args) override;
    void LayoutWebWnd();

    // The face, as the page window uses it.
    void PauseFace() override;
    void ResumeFace() override;
    void ShowFace() override;
    void HideFace() override;

    CWebWnd m_webWnd;
    Rect m_rcWeb;
    Rect m_rcWeb2;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void OnActivate(const msg::Activate& activate);
    void OnSize(const msg::Size& size);
    void OnPaintIconic();
    void OnUpdateNotice(const CHttpCallBack& notice);
    void CentreOnWorkArea();

    HICON m_hIcon;
    bool m_bMinimized = false;  // the face was not composed while minimised
};
