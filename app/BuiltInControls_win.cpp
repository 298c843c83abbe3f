#include "app/BuiltInControls_win.h"

#include "platform/player/MoviePlayer_win.h"

void RegisterBuiltInControls() { RegisterMoviePlayerClass(); }
void RevokeBuiltInControls() { RevokeMoviePlayerClass(); }
