#pragma once
// Resource ids, grouped by dialog, and the program's own window messages; the
// numbers are fixed by the program's files. Defines only: the .rc includes it.

// Launcher
#define IDD_MORVANE_DIALOG 102
#define IDR_MAINFRAME 175  // application icon
#define IDR_MOVIE 181      // the launcher movie, type "swf"

// Game window
#define IDD_NEWWINDOW 130
#define IDC_GAME_BROWSER 2000

// Update dialog
#define IDD_UPDATE 132
#define IDC_UPDATE_PROGRESS 1003

// Web page window
#define IDD_WEBWND 141
#define IDC_WEB_BROWSER 1000

// Boss key settings
#define IDD_BOSS 201
#define IDC_BOSS_TEXT 1010

// This launcher's version: the update pass compares the server's with it.
#define MORVANE_VERSION_TEXT "5"

// The program's own window messages (application range above WM_USER).
#define WM_UPDATE_NOTICE 0x2B11     // lParam owns a heap CHttpCallBack
#define WM_NEWWINDOW_CLOSED 0x2B12
#define WM_TRAY_CALLBACK 0x2B13     // the game window's tray icon
