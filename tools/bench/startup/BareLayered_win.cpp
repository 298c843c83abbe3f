// The floor of the launcher's start-up: a bare Win32 program that shows one
// opaque layered window of the launcher's size, centred on the work area as
// the launcher places itself, composed with one UpdateLayeredWindow.
#include <windows.h>

#include <cstring>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    constexpr int kWidth = 1506, kHeight = 867;
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"BareLayered";
    RegisterClassW(&wc);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    POINT at{work.left + (work.right - work.left - kWidth) / 2, work.top + (work.bottom - work.top - kHeight) / 2};
    HWND hwnd = CreateWindowExW(WS_EX_LAYERED, wc.lpszClassName, L"bare", WS_POPUP, at.x, at.y, kWidth, kHeight,
                                nullptr, nullptr, instance, nullptr);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = kWidth;
    bmi.bmiHeader.biHeight = -kHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, bitmap);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < kWidth * kHeight; ++i)
        pixels[i] = 0xFF3060A0;  // opaque, premultiplied
    POINT source{0, 0};
    SIZE size{kWidth, kHeight};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateLayeredWindow(hwnd, nullptr, &at, &size, dc, &source, 0, &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
