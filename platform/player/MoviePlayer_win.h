#pragma once
// The built-in movie player: the process's own class object for the movie
// control's class, so the windowless host gets a control that plays the
// project's movie format. Register after OLE starts, revoke before it ends.
#include <windows.h>

HRESULT RegisterMoviePlayerClass();
void RevokeMoviePlayerClass();
