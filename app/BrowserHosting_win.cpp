#include "app/BrowserHosting_win.h"

#include "browser/CustomControlSite_win.h"
#include "browser/GameWindowRunner.h"
#include "browser/ImpIDispatch_win.h"
#include "gamewnd/NewWindowDlg_win.h"

COccManager* CreateCustomOccManager()
{
    // Lives until the process ends, like the framework's own manager.
    static CCustomOccManager manager;
    return &manager;
}

CImpIDispatch* CreateExternalDispatch()
{
    // Never freed: pages may hold it until the very end.
    auto* bridge = new CImpIDispatch;
    SetPageBridge(bridge);
    SetGameWindowRunner(&RunNewWindowDlg);
    return bridge;
}
