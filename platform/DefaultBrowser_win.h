#pragma once
// Opens a URL in the player's default browser, the way the shell finds it:
// the per-user choice for "http" first, then the machine's registered open
// command, and failing both the shell's own handling of the URL.
#include <string>

// url in the ANSI code page.
void OpenInDefaultBrowser(const std::string& url);
void OpenInDefaultBrowserW(const std::wstring& url);
