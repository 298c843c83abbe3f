#pragma once
// The game window: a maximised dialog whose whole client area is the browser
// showing the game page, under a caption band it draws itself from the
// game's skin, with eight buttons. Each opening is a fresh object, run
// modally and destroyed by its opener.
#include <windows.h>
#include <shellapi.h>
#include <ole2.h>  // before GDI+, which needs the COM types
#include <gdiplus.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "browser/WebBrowser2_win.h"
#include "bosskey/BossDlg2_win.h"
#include "browser/WebUIController_win.h"
#include "controls/DUIButton_win.h"
#include "platform/Framework_win.h"

class CNewWindowDlg : public CDialog {
public:
    CNewWindowDlg();
    ~CNewWindowDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // The services.
    void RegisterBossKey(int code);
    void HideToTray();
    // Shows the hidden window again and takes its tray icon away.
    void ShowFromTray();
    // The watchdog's memory sample; false for a white screen.
    bool SampleMemory();
    void ReportWhiteScreen();
    void ClearUrlCache();

    // The frame's operations.
    void LayoutCaptionButtons();
    void PaintFrame();
    int ButtonAt(POINT windowPoint) const;
    void CompleteClick(int id);

    std::string m_strURL;  // the game page, in the ANSI code page
    CWebBrowser2 m_browser;
    bool m_bSettingsOpen = false;
    BossDlg2 m_bossDlg;  // reused for each opening
    int m_nBossKey = 0;
    int m_nCaptionHeight = 55;
    int m_nBorderWidth = 1;
    Gdiplus::Bitmap* m_pBackground = nullptr;  // the cache's
    std::map<int, CDUIButton> m_buttons;       // walked in ascending id order
    int m_nHoverId = -1;
    int m_nTracking = 0;
    std::vector<Gdiplus::Bitmap*> m_sysButtonImages;  // minimise, maximise, close, boss
    RECT m_rcIcon{};
    std::unique_ptr<Gdiplus::Bitmap> m_pLogo;
    std::unique_ptr<Gdiplus::Bitmap> m_pWelcome;
    CWebUIController m_uiController{TRUE, TRUE};  // owned, never connected
    bool m_bHiddenToTray = false;
    NOTIFYICONDATAA m_tray{};

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    const EventSinkMap* GetEventSinkMap() const override;
    BOOL OnCommand(const msg::Command& command) override;

private:
    struct FrameLook;
    class FrameSurface;
    FrameLook CurrentLook(int width, int height) const;
    void ComposeFrame(HDC window, const FrameLook& look);

    std::unique_ptr<FrameSurface> m_frame;  // the last composition of the frame

    LRESULT OnNcCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    void OnSize(const msg::Size& size);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    void OnNcMouseMove(UINT hitCode, POINT screen, WPARAM wParam, LPARAM lParam);
    void OnNcMouseLeave();
    void OnNcLButtonDown(UINT hitCode, POINT screen, WPARAM wParam, LPARAM lParam);
    void OnNcLButtonUp(POINT screen, WPARAM wParam, LPARAM lParam);
    void OnNcLButtonDblClk(POINT screen);
    void OnDocumentComplete(IDispatch* page, VARIANT* url);
    // TRUE when the player confirmed the quit.
    bool ConfirmClose();
    POINT ToWindow(POINT screen) const;
    void InvalidateButton(const CDUIButton& button);

    // Runs the boss key's settings dialog, or brings it forward when it is
    // already open; the key is registered again from the file afterwards.
    void OpenBossKeySettings();
    void OnNavigateComplete2(IDispatch* page, VARIANT* url);
};

// Opens the game window on a page and returns when the player has closed it.
void RunNewWindowDlg(const std::string& url);
