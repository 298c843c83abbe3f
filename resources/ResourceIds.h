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

// Game window skin: pictures of type "PNG"; a button picture is a strip of
// three frames (normal, hover, pressed)
#define IDB_SKIN 185          // the frame picture, 913 x 715
#define IDB_CLOSE_BTN 191     // 60 x 20 strips of the caption's system buttons
#define IDB_MAXIMIZE_BTN 192
#define IDB_MINIMIZE_BTN 193
#define IDB_BOSS_BTN 194      // hide to the tray
#define IDB_WELCOME 195       // 75 x 15
#define IDB_LOGO 196          // 112 x 48
#define IDB_FORUM_BTN 197     // 180 x 17 strips of the caption's text buttons
#define IDB_BOSSKEY_BTN 198   // boss-key settings
#define IDB_HOMEPAGE_BTN 199  // official site
#define IDB_REFRESH_BTN 200

// Update dialog
#define IDD_UPDATE 132
#define IDC_UPDATE_PROGRESS 1003

// Web page window
#define IDD_WEBWND 141
#define IDC_WEB_BROWSER 1000

// Boss key settings
#define IDD_BOSS 201
#define IDC_BOSS_TEXT 1010
#define IDC_BOSS_NOTICE 1011      // made at run time: a combination the system refuses
#define IDB_BOSS_BACKGROUND 202   // 531 x 363, the dialog's whole face
#define IDB_BOSS_SAVE_BTN 203     // 360 x 36 strip of three frames

// This launcher's version: the update pass compares the server's with it.
#define MORVANE_VERSION_TEXT "5"

// The program's own window messages (application range above WM_USER).
#define WM_UPDATE_NOTICE 0x2B11     // lParam owns a heap CHttpCallBack
#define WM_NEWWINDOW_CLOSED 0x2B12
#define WM_TRAY_CALLBACK 0x2B13     // the game window's tray icon
