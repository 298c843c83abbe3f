#include "app/BrowserHosting_win.h"

// Browser hosting has not joined the program yet: dialogs are created
// without their WebBrowser controls.
COccManager* CreateCustomOccManager() { return nullptr; }
CImpIDispatch* CreateExternalDispatch() { return nullptr; }
