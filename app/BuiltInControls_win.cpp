#include "app/BuiltInControls_win.h"

#include "platform/player/MoviePlayer_win.h"
#ifdef MORVANE_WITH_PAGE_ENGINE
#include "platform/pageengine/PageEngineControl_win.h"
#endif

void RegisterBuiltInControls()
{
    RegisterMoviePlayerClass();
#ifdef MORVANE_WITH_PAGE_ENGINE
    // The demo build under Wine shows real pages; on Windows the platform's
    // browser control stays.
    pageengine::RegisterPageEngineClass();
#endif
}

void RevokeBuiltInControls()
{
#ifdef MORVANE_WITH_PAGE_ENGINE
    pageengine::RevokePageEngineClass();
#endif
    RevokeMoviePlayerClass();
}
