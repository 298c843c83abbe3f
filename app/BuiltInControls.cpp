#include "app/BuiltInControls.h"

#include "platform/player/MoviePlayer.h"

void RegisterBuiltInControls() { RegisterMoviePlayerClass(); }
void RevokeBuiltInControls() { RevokeMoviePlayerClass(); }
