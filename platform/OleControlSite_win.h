#pragma once
// The OLE control container of the dialog framework: the ActiveX entries of a
// dialog template become controls in-place active in the dialog, each behind
// a site that answers the control's questions about its container, with the
// control's events routed to the dialog's event-sink map.
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <memory>
#include <vector>

#include "platform/Com_win.h"
#include "platform/DialogTemplate.h"

class CDialog;
class COleControlContainer;
class COleControlSite;

// One nested interface implementation of a site: its IUnknown is the site's,
// so every interface of the site shares one identity and one count.
template <class Interface>
class SitePart : public Interface {
public:
    explicit SitePart(COleControlSite& site) : site_(site) {}
    SitePart(const SitePart&) = delete;
    SitePart& operator=(const SitePart&) = delete;
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

protected:
    COleControlSite& site_;
};

// A site's interface map: entries looked up in order, then the base map's.
// A derived site adds interfaces by pointing its map's base at its base
// class's map.
struct SiteInterfaceEntry {
    const IID* iid;
    IUnknown* (*part)(COleControlSite& site);
};
struct SiteInterfaceMap {
    const SiteInterfaceMap* base;
    const SiteInterfaceEntry* entries;
    size_t count;
};

class COleControlSite {
public:
    explicit COleControlSite(COleControlContainer* container);
    virtual ~COleControlSite();
    COleControlSite(const COleControlSite&) = delete;
    COleControlSite& operator=(const COleControlSite&) = delete;

    // The site's own IUnknown. The container holds the first reference and
    // lets it go when the dialog is destroyed; the site is deleted when the
    // last reference goes.
    HRESULT ExternalQueryInterface(REFIID iid, void** ppv);
    ULONG ExternalAddRef();
    ULONG ExternalRelease();

    // Creates the control of one template entry, in-place active at the
    // entry's rectangle, its window carrying the entry's id, its events
    // connected to the dialog. S_OK or the first failure (nothing is left
    // half-made: the caller releases the site).
    virtual HRESULT CreateControl(const DialogControl& entry);
    // Disconnects the events, closes the control and lets go of it.
    virtual void DestroyControl();

    // Calls the control's IDispatch; the arguments are given first to last.
    HRESULT InvokeHelper(DISPID id, WORD flags, VARIANT* result, std::vector<VARIANT> args);
    // Offers a key message to the in-place active control before the dialog
    // manager sees it; true when the control consumed it.
    bool TranslateAccelerator(MSG* msg);

    UINT ControlId() const { return m_nID; }
    HWND ControlWindow() const { return m_hWnd; }
    IOleObject* Object() const { return m_pObject.Get(); }
    IDispatch* ControlDispatch() const { return m_pDispatch.Get(); }
    COleControlContainer* Container() const { return m_pCtrlCont; }
    CDialog* Dialog() const;

protected:
    virtual const SiteInterfaceMap* GetInterfaceMap() const;
    static const SiteInterfaceMap interfaceMap;

private:
    class XOleClientSite;
    class XOleInPlaceSite;
    class XOleControlSite;
    class XAmbientProps;
    class XOleInPlaceFrame;
    class XEventSink;
    static const SiteInterfaceEntry interfaceEntries[];

    HRESULT ConnectEvents();
    IUnknown* FindInterface(REFIID iid);

    COleControlContainer* m_pCtrlCont;
    LONG m_dwRef = 1;
    UINT m_nID = 0;
    HWND m_hWnd = nullptr;
    RECT m_rect{};
    IID m_iidEvents = IID_NULL;
    DWORD m_dwEventSink = 0;
    ComPtr<IOleObject> m_pObject;
    ComPtr<IOleInPlaceObject> m_pInPlaceObject;
    ComPtr<IOleInPlaceActiveObject> m_pActiveObject;
    ComPtr<IDispatch> m_pDispatch;
    ComPtr<IConnectionPoint> m_pEventPoint;
    std::unique_ptr<XOleClientSite> m_xOleClientSite;
    std::unique_ptr<XOleInPlaceSite> m_xOleIPSite;
    std::unique_ptr<XOleControlSite> m_xOleControlSite;
    std::unique_ptr<XAmbientProps> m_xAmbientProps;
    std::unique_ptr<XOleInPlaceFrame> m_xOleInPlaceFrame;
    std::unique_ptr<XEventSink> m_xEventSink;
};

template <class Interface>
STDMETHODIMP SitePart<Interface>::QueryInterface(REFIID iid, void** ppv)
{
    return site_.ExternalQueryInterface(iid, ppv);
}
template <class Interface>
STDMETHODIMP_(ULONG) SitePart<Interface>::AddRef()
{
    return site_.ExternalAddRef();
}
template <class Interface>
STDMETHODIMP_(ULONG) SitePart<Interface>::Release()
{
    return site_.ExternalRelease();
}

// The controls of one dialog. Created when the dialog initialises, torn down
// when its window is destroyed.
class COleControlContainer {
public:
    explicit COleControlContainer(CDialog& dialog) : m_dialog(dialog) {}
    ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    // Keeps a site whose control was created; releases it otherwise.
    bool AddControl(COleControlSite* site, const DialogControl& entry);
    COleControlSite* FindSite(UINT id) const;
    // The site whose control window is or contains hwnd.
    COleControlSite* FindSiteOf(HWND hwnd) const;
    // A key message for a window inside a control goes to that control first.
    bool PreTranslateKey(MSG* msg);
    // Closes every control and lets go of every site.
    void Teardown();

    CDialog& Dialog() const { return m_dialog; }

private:
    CDialog& m_dialog;
    std::vector<COleControlSite*> m_sites;  // each holds the container's reference
};
