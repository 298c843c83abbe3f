#pragma once
// The boss key's settings dialog: a small skinned popup in which the player
// sets the boss key by pressing it. The label follows the keys pressed;
// each release stores the combination in the settings file. Both buttons
// only close it, since storing has already happened.
#include <windows.h>

#include <string>

#include "bosskey/BossKey.h"
#include "controls/ImageCache_win.h"
#include "controls/PngButton_win.h"
#include "platform/Framework_win.h"
#include "platform/Handles_win.h"

class BossDlg2 : public CDialogEx {
public:
    BossDlg2();
    ~BossDlg2() override;

    // The label shows the code's text; the whole dialog is redrawn at once,
    // since the label is drawn transparently over the picture.
    void ShowBossKeyText(int code);
    // At the background picture's size, centred on the primary screen, above
    // every window that is not topmost, and shown. Also how a second request
    // for an open dialog brings it forward.
    void CenterOnScreenTopmost();

    BOOL PreTranslateMessage(MSG* msg) override;

    // The warning under the label, empty when none: a chosen combination
    // that the system refuses as a hotkey (another program holds it).
    const std::wstring& RefusedNotice() const { return m_strNotice; }

    int m_nCaptured = 0;  // the code the label shows since the dialog opened
    CImage m_background;
    CPngButton m_btnSave;
    CPngButton m_btnClose;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(const msg::Command& command) override;

private:
    // Feeds one key message to the capture; TRUE when it was consumed.
    BOOL CaptureKey(const MSG& msg);
    // Tries the combination as a hotkey of the dialog's own and lets it go
    // at once; the notice says so when the system refuses a chosen one.
    void CheckRegistrable(int code);
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, HWND control);

    BossKeyCapture m_capture{0};
    ScopedGdiObject<HFONT> m_labelFont;
    ScopedGdiObject<HFONT> m_noticeFont;
    HWND m_hNotice = nullptr;  // a child of the dialog, destroyed with it
    std::wstring m_strNotice;
};
