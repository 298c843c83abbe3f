#include "settings/Settings.h"

#include <cstring>

#include "BuiltinHosts.h"
#include "resources/ResourceIds.h"

#define HTTP(host, rest) "http://" host rest

namespace builtin {
const char* const kStartUrl = HTTP(MORVANE_PORTAL_HOST, "/games/duz/togame.php?target=tlvx");
const char* const kTitle = "Morvane";
const char* const kUpdateBase = HTTP(MORVANE_UPDATE_HOST, "");
const char* const kLoginUrl = HTTP(MORVANE_PORTAL_HOST, "/games/tlvx/duz/");
const char* const kGamePageUrl = HTTP(MORVANE_PORTAL_HOST, "/games/tlvx/");
const char* const kPaymentUrl = HTTP(MORVANE_PAY_HOST, "/?g=606&s=?");
const char* const kServiceUrl = HTTP(MORVANE_PORTAL_HOST, "/kf/");
const char* const kPassThroughUrl1 = HTTP(MORVANE_PARTNER_A_HOST, "/guest/c/?gid=dova");
const char* const kPassThroughUrl2 = HTTP(MORVANE_PARTNER_B_HOST, "/index.php/user/login/logout");
const char* const kPassThroughUrl3 = HTTP(MORVANE_PARTNER_C_HOST, "/index.php/user/login/logout");
const char* const kPasswordRecoveryUrl = HTTP(MORVANE_PARTNER_C_HOST, "/index.php/user/login/forgot_password");
}  // namespace builtin

const char* g_strAppDir = "";
int g_nLauncherWidth = 0;
int g_nLauncherHeight = 0;
const char* g_strStartUrl = "";
const char* g_strTitle = "";
const char* g_strUpdateBase = "";

const char* const g_strForumUrl = HTTP(MORVANE_FORUM_HOST, "/forum-2115-1.html");
const char* const g_strHomeUrl = HTTP(MORVANE_PORTAL_HOST, "/games/tlvx/");
const char* const g_strVersion = MORVANE_VERSION_TEXT;

void SetAppDir(const std::string& appDir)
{
    char* copy = new char[appDir.size() + 1];
    std::memcpy(copy, appDir.c_str(), appDir.size() + 1);
    g_strAppDir = copy;
}

void AssignRunTimeSettings()
{
    g_nLauncherWidth = builtin::kLauncherWidth;
    g_nLauncherHeight = builtin::kLauncherHeight;
    g_strStartUrl = builtin::kStartUrl;
    g_strTitle = builtin::kTitle;
    g_strUpdateBase = builtin::kUpdateBase;
}

std::string SettingsFilePath() { return std::string(g_strAppDir) + "version.ini"; }
std::string InstallerFilePath() { return std::string(g_strAppDir) + "install.exe"; }
