#include "browser/GameWindowRunner.h"

namespace {
GameWindowRunner g_runner = nullptr;  // UI thread only
}

void SetGameWindowRunner(GameWindowRunner runner) { g_runner = runner; }

void RunGameWindow(const std::string& url)
{
    if (g_runner)
        g_runner(url);
}
