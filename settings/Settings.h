#pragma once
#include <string>

// Run-time and built-in settings. Texts are narrow, in the ANSI code page.
// The run-time ones are written once during start-up, before any other
// thread exists, and are read-only afterwards. None of them has a
// destructor, so an update pass still running while the process exits never
// reads a destroyed object.

extern const char* g_strAppDir;    // directory of the executable, ends in a backslash
extern int g_nLauncherWidth;       // 1506
extern int g_nLauncherHeight;      // 867
extern const char* g_strStartUrl;  // the game entry page: a navigation to it opens the game window
extern const char* g_strTitle;     // the launcher's caption
extern const char* g_strUpdateBase;  // update server site root, no trailing slash

extern const char* const g_strForumUrl;
extern const char* const g_strHomeUrl;
extern const char* const g_strVersion;  // this launcher's version number

// Built-in defaults and the other built-in URLs (hosts set at configure time).
namespace builtin {
extern const char* const kStartUrl;
extern const char* const kTitle;
extern const char* const kUpdateBase;
extern const char* const kLoginUrl;
extern const char* const kGamePageUrl;
extern const char* const kPaymentUrl;
extern const char* const kServiceUrl;
// The page window loads these in place (partner platforms' guest entry and
// logouts) and sends the password recovery to the default browser.
extern const char* const kPassThroughUrl1;
extern const char* const kPassThroughUrl2;
extern const char* const kPassThroughUrl3;
extern const char* const kPasswordRecoveryUrl;
constexpr int kLauncherWidth = 1506;
constexpr int kLauncherHeight = 867;
}  // namespace builtin

// Start-up steps: the application directory, then the sizes and the URL,
// title and update-base defaults. The directory text is kept for the life of
// the process and never freed.
void SetAppDir(const std::string& appDir);
void AssignRunTimeSettings();

// "%sversion.ini" and "%sinstall.exe" of the application directory.
std::string SettingsFilePath();
std::string InstallerFilePath();
