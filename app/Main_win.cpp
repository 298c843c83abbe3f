#include "app/TavrinApp_win.h"

CTavrinApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(instance);
}
