#pragma once
#include "platform/Framework_win.h"

class CImpIDispatch;

// The application object: the whole start-up, the launcher's modal run and
// the shutdown happen in InitInstance, which returns FALSE so that no
// application message loop ever runs.
class CTavrinApp : public CWinApp {
public:
    BOOL InitInstance() override;

    // window.external of every hosted page; lives until the process ends.
    CImpIDispatch* m_pExternalDispatch = nullptr;

private:
    void RunLauncher();
};
