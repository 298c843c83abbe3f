#pragma once
// How every browser control of the program is hosted: the control container
// manager installed at start-up gives each template control this site, which
// answers the browser's host-UI questions with the program's policy (no
// context menu, border, scroll bars or script message boxes; F5 and
// Backspace kept from the browser's accelerators; the page bridge as
// window.external).
#include <windows.h>
#include <mshtmhst.h>

#include <memory>

#include "platform/Framework_win.h"
#include "platform/OleControlSite_win.h"

class CCustomOccManager : public COccManager {
public:
    COleControlSite* CreateSite(COleControlContainer* container) override;
};

class CCustomControlSite : public COleControlSite {
public:
    explicit CCustomControlSite(COleControlContainer* container);
    ~CCustomControlSite() override;

    // Whether the focused element of the control's page takes typed text.
    bool FocusIsEditable();

protected:
    const SiteInterfaceMap* GetInterfaceMap() const override;
    static const SiteInterfaceMap interfaceMap;

private:
    class XDocHostUIHandler;
    class XDocHostShowUI;
    static const SiteInterfaceEntry interfaceEntries[];

    std::unique_ptr<XDocHostUIHandler> m_xDocHostUIHandler;
    std::unique_ptr<XDocHostShowUI> m_xDocHostShowUI;
};
