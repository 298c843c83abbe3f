#pragma once
// How the page window and the page bridge open the game window without
// depending on the folder that holds it: the application installs the
// runner at start-up.
#include <string>

// Runs the game window on a page modally; returns once the player has
// closed it.
using GameWindowRunner = void (*)(const std::string& url);

void SetGameWindowRunner(GameWindowRunner runner);
// Without a runner nothing opens.
void RunGameWindow(const std::string& url);
