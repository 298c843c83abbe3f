#include "platform/OleControlSite_win.h"

#include <olectl.h>

#include <algorithm>

#include "platform/Framework_win.h"

// ---------------------------------------------------------------------------
// The site's interfaces

class COleControlSite::XOleClientSite final : public SitePart<IOleClientSite> {
public:
    using SitePart::SitePart;
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override
    {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override
    {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
};

class COleControlSite::XOleInPlaceSite final : public SitePart<IOleInPlaceSite> {
public:
    using SitePart::SitePart;
    STDMETHODIMP GetWindow(HWND* hwnd) override
    {
        if (!hwnd)
            return E_POINTER;
        CDialog* dialog = site_.Dialog();
        *hwnd = dialog ? dialog->m_hWnd : nullptr;
        return *hwnd ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos, RECT* clip,
                                  OLEINPLACEFRAMEINFO* info) override
    {
        if (!frame || !doc || !pos || !clip || !info)
            return E_POINTER;
        HWND dialog = nullptr;
        GetWindow(&dialog);
        site_.ExternalQueryInterface(IID_IOleInPlaceFrame, reinterpret_cast<void**>(frame));
        *doc = nullptr;
        *pos = site_.m_rect;
        *clip = site_.m_rect;
        info->fMDIApp = FALSE;
        info->hwndFrame = dialog;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override
    {
        site_.m_pInPlaceObject.Reset();
        return S_OK;
    }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(const RECT* rect) override
    {
        if (!rect)
            return E_POINTER;
        site_.m_rect = *rect;
        if (site_.m_pInPlaceObject)
            site_.m_pInPlaceObject->SetObjectRects(rect, rect);
        return S_OK;
    }
};

class COleControlSite::XOleControlSite final : public SitePart<IOleControlSite> {
public:
    using SitePart::SitePart;
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** extended) override
    {
        if (extended)
            *extended = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }
};

// A dispatch part of the site that is called by DISPID only.
class SiteDispatchPart : public SitePart<IDispatch> {
public:
    using SitePart::SitePart;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (count)
            *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

// The container's ambient properties: a control in a running dialog is in
// user mode and never shows design-time adornments.
class COleControlSite::XAmbientProps final : public SiteDispatchPart {
public:
    using SiteDispatchPart::SiteDispatchPart;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        if (!(flags & DISPATCH_PROPERTYGET) || !result)
            return DISP_E_MEMBERNOTFOUND;
        VariantInit(result);
        switch (id) {
        case DISPID_AMBIENT_USERMODE:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
            return S_OK;
        case DISPID_AMBIENT_UIDEAD:
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
        case DISPID_AMBIENT_MESSAGEREFLECT:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_FALSE;
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }
};

// The frame a control asks for at activation: the dialog itself, with no
// menus, tool space or status line. It keeps the control's active object.
class COleControlSite::XOleInPlaceFrame final : public SitePart<IOleInPlaceFrame> {
public:
    using SitePart::SitePart;
    STDMETHODIMP GetWindow(HWND* hwnd) override
    {
        if (!hwnd)
            return E_POINTER;
        CDialog* dialog = site_.Dialog();
        *hwnd = dialog ? dialog->m_hWnd : nullptr;
        return *hwnd ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override
    {
        site_.m_pActiveObject = object;
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }
};

// The control's events, on their way to the dialog's event-sink map.
class COleControlSite::XEventSink final : public SiteDispatchPart {
public:
    using SiteDispatchPart::SiteDispatchPart;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return ComBoundary([&]() -> HRESULT {
            CDialog* dialog = site_.Dialog();
            if (!dialog || !dialog->m_hWnd)
                return S_OK;
            DISPPARAMS none{};
            // The handler may run a nested modal loop; the site stays alive
            // across it even if its dialog goes.
            ComPtr<IUnknown> keep;
            site_.ExternalQueryInterface(IID_IUnknown, reinterpret_cast<void**>(keep.GetAddressOf()));
            dialog->OnControlEvent(site_.m_nID, id, params ? *params : none);
            return S_OK;
        });
    }
};

// ---------------------------------------------------------------------------
// The site

const SiteInterfaceEntry COleControlSite::interfaceEntries[] = {
    {&IID_IUnknown, [](COleControlSite& s) -> IUnknown* { return s.m_xOleClientSite.get(); }},
    {&IID_IOleClientSite, [](COleControlSite& s) -> IUnknown* { return s.m_xOleClientSite.get(); }},
    {&IID_IOleWindow, [](COleControlSite& s) -> IUnknown* { return s.m_xOleIPSite.get(); }},
    {&IID_IOleInPlaceSite, [](COleControlSite& s) -> IUnknown* { return s.m_xOleIPSite.get(); }},
    {&IID_IOleControlSite, [](COleControlSite& s) -> IUnknown* { return s.m_xOleControlSite.get(); }},
    {&IID_IDispatch, [](COleControlSite& s) -> IUnknown* { return s.m_xAmbientProps.get(); }},
    {&IID_IOleInPlaceUIWindow, [](COleControlSite& s) -> IUnknown* { return s.m_xOleInPlaceFrame.get(); }},
    {&IID_IOleInPlaceFrame, [](COleControlSite& s) -> IUnknown* { return s.m_xOleInPlaceFrame.get(); }},
};

const SiteInterfaceMap COleControlSite::interfaceMap{nullptr, interfaceEntries, std::size(interfaceEntries)};

const SiteInterfaceMap* COleControlSite::GetInterfaceMap() const { return &interfaceMap; }

COleControlSite::COleControlSite(COleControlContainer* container)
    : m_pCtrlCont(container),
      m_xOleClientSite(std::make_unique<XOleClientSite>(*this)),
      m_xOleIPSite(std::make_unique<XOleInPlaceSite>(*this)),
      m_xOleControlSite(std::make_unique<XOleControlSite>(*this)),
      m_xAmbientProps(std::make_unique<XAmbientProps>(*this)),
      m_xOleInPlaceFrame(std::make_unique<XOleInPlaceFrame>(*this)),
      m_xEventSink(std::make_unique<XEventSink>(*this))
{
}

COleControlSite::~COleControlSite() = default;

CDialog* COleControlSite::Dialog() const { return m_pCtrlCont ? &m_pCtrlCont->Dialog() : nullptr; }

IUnknown* COleControlSite::FindInterface(REFIID iid)
{
    // The event interface is known only once the control is there.
    if (m_iidEvents != IID_NULL && IsEqualIID(iid, m_iidEvents))
        return m_xEventSink.get();
    for (const SiteInterfaceMap* map = GetInterfaceMap(); map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            if (IsEqualIID(iid, *map->entries[i].iid))
                return map->entries[i].part(*this);
        }
    }
    return nullptr;
}

HRESULT COleControlSite::ExternalQueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    IUnknown* part = FindInterface(iid);
    *ppv = part;
    if (!part)
        return E_NOINTERFACE;
    ExternalAddRef();
    return S_OK;
}

ULONG COleControlSite::ExternalAddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_dwRef)); }

ULONG COleControlSite::ExternalRelease()
{
    const LONG count = InterlockedDecrement(&m_dwRef);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT COleControlSite::CreateControl(const DialogControl& entry)
{
    CDialog* dialog = Dialog();
    if (!dialog || !dialog->m_hWnd)
        return E_UNEXPECTED;
    m_nID = entry.id;
    std::wstring clsidText(entry.className.begin(), entry.className.end());
    CLSID clsid;
    HRESULT hr = CLSIDFromString(clsidText.c_str(), &clsid);
    if (FAILED(hr))
        return hr;

    // The template's rectangle is in dialog units.
    m_rect = RECT{entry.x, entry.y, entry.x + entry.cx, entry.y + entry.cy};
    MapDialogRect(dialog->m_hWnd, &m_rect);

    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IOleObject,
                          reinterpret_cast<void**>(m_pObject.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    hr = m_pObject->SetClientSite(m_xOleClientSite.get());
    if (FAILED(hr))
        return hr;
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(m_pObject.As(&persist)))
        persist->InitNew();
    hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_xOleClientSite.get(), 0, dialog->m_hWnd, &m_rect);
    if (FAILED(hr))
        return hr;
    if (FAILED(m_pObject.As(&m_pInPlaceObject)) || FAILED(m_pInPlaceObject->GetWindow(&m_hWnd)) || !m_hWnd)
        return E_FAIL;
    SetWindowLongPtrW(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(m_nID));
    const DWORD keep = entry.style & (WS_TABSTOP | WS_GROUP);
    if (keep)
        SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetWindowLongPtrW(m_hWnd, GWL_STYLE) | keep);
    if (!(entry.style & WS_VISIBLE))
        ::ShowWindow(m_hWnd, SW_HIDE);
    m_pObject.As(&m_pDispatch);
    if (!m_pActiveObject)
        m_pObject.As(&m_pActiveObject);
    ConnectEvents();  // a control without events is still a control
    return S_OK;
}

HRESULT COleControlSite::ConnectEvents()
{
    ComPtr<IProvideClassInfo2> classInfo;
    if (SUCCEEDED(m_pObject.As(&classInfo)))
        classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &m_iidEvents);
    ComPtr<IConnectionPointContainer> points;
    HRESULT hr = m_pObject.As(&points);
    if (FAILED(hr))
        return hr;
    if (m_iidEvents == IID_NULL) {
        // No class information: the first point that is not property change.
        ComPtr<IEnumConnectionPoints> all;
        if (SUCCEEDED(points->EnumConnectionPoints(&all)) && all) {
            ComPtr<IConnectionPoint> point;
            while (all->Next(1, point.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
                IID iid;
                if (SUCCEEDED(point->GetConnectionInterface(&iid)) && iid != IID_IPropertyNotifySink) {
                    m_iidEvents = iid;
                    break;
                }
            }
        }
    }
    if (m_iidEvents == IID_NULL)
        return E_NOINTERFACE;
    hr = points->FindConnectionPoint(m_iidEvents, m_pEventPoint.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    hr = m_pEventPoint->Advise(m_xEventSink.get(), &m_dwEventSink);
    if (FAILED(hr))
        m_pEventPoint.Reset();
    return hr;
}

void COleControlSite::DestroyControl()
{
    if (m_pEventPoint) {
        m_pEventPoint->Unadvise(m_dwEventSink);
        m_pEventPoint.Reset();
        m_dwEventSink = 0;
    }
    m_pActiveObject.Reset();
    m_pDispatch.Reset();
    if (m_pObject) {
        ComPtr<IOleObject> object = std::move(m_pObject);
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    m_pInPlaceObject.Reset();
    m_hWnd = nullptr;
}

HRESULT COleControlSite::InvokeHelper(DISPID id, WORD flags, VARIANT* result, std::vector<VARIANT> args)
{
    if (!m_pDispatch)
        return E_FAIL;
    std::reverse(args.begin(), args.end());  // DISPPARAMS holds them last to first
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(args.size());
    params.rgvarg = args.empty() ? nullptr : args.data();
    DISPID named = DISPID_PROPERTYPUT;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.cNamedArgs = 1;
        params.rgdispidNamedArgs = &named;
    }
    // The control may go during the call (its page can close the dialog).
    ComPtr<IDispatch> dispatch = m_pDispatch;
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

bool COleControlSite::TranslateAccelerator(MSG* msg)
{
    ComPtr<IOleInPlaceActiveObject> active = m_pActiveObject;
    return active && active->TranslateAccelerator(msg) == S_OK;
}

// ---------------------------------------------------------------------------
// The container

COleControlContainer::~COleControlContainer() { Teardown(); }

bool COleControlContainer::AddControl(COleControlSite* site, const DialogControl& entry)
{
    if (!site)
        return false;
    if (FAILED(site->CreateControl(entry))) {
        site->DestroyControl();
        site->ExternalRelease();
        return false;
    }
    m_sites.push_back(site);
    return true;
}

COleControlSite* COleControlContainer::FindSite(UINT id) const
{
    for (COleControlSite* site : m_sites) {
        if (site->ControlId() == id)
            return site;
    }
    return nullptr;
}

COleControlSite* COleControlContainer::FindSiteOf(HWND hwnd) const
{
    for (COleControlSite* site : m_sites) {
        HWND control = site->ControlWindow();
        if (control && (hwnd == control || IsChild(control, hwnd)))
            return site;
    }
    return nullptr;
}

bool COleControlContainer::PreTranslateKey(MSG* msg)
{
    COleControlSite* site = FindSiteOf(msg->hwnd);
    return site && site->TranslateAccelerator(msg);
}

void COleControlContainer::Teardown()
{
    std::vector<COleControlSite*> sites = std::move(m_sites);
    m_sites.clear();
    for (COleControlSite* site : sites) {
        // A wrapper bound to the control lets go of it with the site.
        if (CWnd* wrapper = CWnd::FromHandlePermanent(site->ControlWindow()))
            wrapper->UnsubclassWindow();
        site->DestroyControl();
        site->ExternalRelease();
    }
}

// ---------------------------------------------------------------------------
// The default manager and the calls through a bound control

COleControlSite* COccManager::CreateSite(COleControlContainer* container) { return new COleControlSite(container); }

BOOL COccManager::CreateDlgControls(CDialog* dialog, const std::vector<DialogControl>& controls)
{
    if (!dialog)
        return FALSE;
    auto container = std::make_unique<COleControlContainer>(*dialog);
    COleControlContainer* raw = container.get();
    dialog->SetControlContainer(std::move(container));
    bool all = true;
    for (const DialogControl& entry : controls) {
        if (entry.IsActiveX())
            all = raw->AddControl(CreateSite(raw), entry) && all;
    }
    return all ? TRUE : FALSE;
}

void COccManager::OnDialogDestroy(CDialog* dialog)
{
    if (dialog)
        dialog->SetControlContainer(nullptr);
}

HRESULT CWnd::InvokeHelper(DISPID id, WORD flags, VARIANT* result, std::vector<VARIANT> args)
{
    return m_pCtrlSite ? m_pCtrlSite->InvokeHelper(id, flags, result, std::move(args)) : E_FAIL;
}
