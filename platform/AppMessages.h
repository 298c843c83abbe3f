#pragma once
// The program's own window messages (application range above WM_USER).
constexpr unsigned kWmUpdateNotice = 0x2B11;     // WM_UPDATE_NOTICE: lParam owns a heap CHttpCallBack
constexpr unsigned kWmNewWindowClosed = 0x2B12;  // WM_NEWWINDOW_CLOSED
constexpr unsigned kWmTrayCallback = 0x2B13;     // the game window's tray icon
#define WM_UPDATE_NOTICE kWmUpdateNotice
#define WM_NEWWINDOW_CLOSED kWmNewWindowClosed
