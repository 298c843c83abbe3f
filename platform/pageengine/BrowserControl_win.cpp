// One outer object implements every interface the host reaches the control
// by, the event connection point is a part object, and the document and its
// focused element are small late-bound objects of their own that outlive the
// control if the host keeps them.
#include "platform/pageengine/BrowserControl_win.h"

#include "platform/pageengine/HtmlUnused_win.h"

#include <exdispid.h>

#include <algorithm>
#include <optional>
#include <span>
#include <utility>

#include "platform/Messages_win.h"

namespace {


// The command group the control names when it offers keys to the host.
constexpr GUID kCgidMshtml = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

struct NamedId {
    const wchar_t* name;
    DISPID id;
};

// GetIDsOfNames over a fixed table: the member name first, no parameter names.
HRESULT IdsOfNames(std::span<const NamedId> table, LPOLESTR* names, UINT count, DISPID* ids)
{
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (i == 0 && names[0]) {
            for (const NamedId& entry : table) {
                if (lstrcmpiW(names[0], entry.name) == 0)
                    ids[0] = entry.id;
            }
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT PutText(VARIANT& result, const std::wstring& text)
{
    BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!copy)
        return E_OUTOFMEMORY;
    result.vt = VT_BSTR;
    result.bstrVal = copy;
    return S_OK;
}

// A text argument as hosts pass it: a BSTR, or a reference to a variant or a BSTR.
bool TextArgument(const VARIANT& arg, std::wstring& text)
{
    const VARIANT* v = &arg;
    if (v->vt == (VT_BYREF | VT_VARIANT)) {
        v = v->pvarVal;
        if (!v)
            return false;
    }
    const BSTR* bstr = nullptr;
    if (v->vt == VT_BSTR)
        bstr = &v->bstrVal;
    else if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal)
        bstr = v->pbstrVal;
    if (!bstr)
        return false;
    text.assign(*bstr ? *bstr : L"", SysStringLen(*bstr));
    return true;
}

// Where a Backspace types rather than navigates.
bool IsEditable(const BrowserPage::Element& element)
{
    if (element.contentEditable || lstrcmpiW(element.tagName.c_str(), L"TEXTAREA") == 0)
        return true;
    if (lstrcmpiW(element.tagName.c_str(), L"INPUT") != 0)
        return false;
    static constexpr const wchar_t* kTextLike[] = {L"", L"text", L"password", L"search", L"email", L"url", L"tel",
                                                   L"number"};
    return std::any_of(std::begin(kTextLike), std::end(kTextLike),
                       [&](const wchar_t* type) { return lstrcmpiW(element.type.c_str(), type) == 0; });
}

// A variant the caller owns, cleared on every way out; what event arguments refer to.
class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&v_); }
    explicit OwnedVariant(const std::wstring& text) : OwnedVariant()
    {
        if (FAILED(PutText(v_, text)))
            throw std::bad_alloc();
    }
    ~OwnedVariant() { VariantClear(&v_); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;

    VARIANT& Get() { return v_; }
    VARIANT ByRef()
    {
        VARIANT ref;
        VariantInit(&ref);
        ref.vt = VT_BYREF | VT_VARIANT;
        ref.pvarVal = &v_;
        return ref;
    }

private:
    VARIANT v_;
};

VARIANT DispatchArgument(IDispatch* dispatch)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = dispatch;  // borrowed: event arguments are the caller's
    return v;
}

VARIANT CancelArgument(VARIANT_BOOL* cancel)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_BOOL;
    v.pboolVal = cancel;
    return v;
}

// A page object script reaches by name: property gets only. Interface is
// the platform interface it also offers (IDispatch alone for most).
template <class Interface = IDispatch>
class PageObject : public Interface {
public:
    PageObject() = default;
    virtual ~PageObject() = default;
    PageObject(const PageObject&) = delete;
    PageObject& operator=(const PageObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        return ComBoundary([&] {
            if (!ppv)
                return E_POINTER;
            *ppv = nullptr;
            if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !Offers(iid))
                return E_NOINTERFACE;
            *ppv = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        });
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        return ComBoundary([&] {
            if (count)
                *count = 0;
            return S_OK;
        });
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        return ComBoundary([&] {
            if (info)
                *info = nullptr;
            return E_NOTIMPL;
        });
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return ComBoundary([&] { return IdsOfNames(Names(), names, count, ids); });
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        return ComBoundary([&] {
            if (!(flags & DISPATCH_PROPERTYGET))
                return DISP_E_MEMBERNOTFOUND;
            if (params && params->cArgs)
                return DISP_E_BADPARAMCOUNT;
            if (!result)
                return E_INVALIDARG;
            VariantInit(result);
            return Get(id, *result);
        });
    }

protected:
    virtual std::span<const NamedId> Names() const = 0;
    virtual HRESULT Get(DISPID id, VARIANT& result) = 0;
    // The platform interfaces beyond IDispatch this object answers for.
    virtual bool Offers(REFIID iid) const
    {
        (void)iid;
        return false;
    }

private:
    LONG refs_ = 0;
};

// The focused element as it was when script asked for it.
class ElementObject final : public PageObject<> {
public:
    explicit ElementObject(BrowserPage::Element element) : element_(std::move(element)) {}

private:
    enum : DISPID { kTagName = 1, kType, kIsContentEditable };

    std::span<const NamedId> Names() const override
    {
        static constexpr NamedId kNames[] = {
            {L"tagName", kTagName}, {L"type", kType}, {L"isContentEditable", kIsContentEditable}};
        return kNames;
    }
    HRESULT Get(DISPID id, VARIANT& result) override
    {
        switch (id) {
        case kTagName: {
            std::wstring upper = element_.tagName;
            if (!upper.empty())
                CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
            return PutText(result, upper);
        }
        case kType:
            return PutText(result, element_.type);
        case kIsContentEditable:
            result.vt = VT_BOOL;
            result.boolVal = element_.contentEditable ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    BrowserPage::Element element_;
};

// The page's window: its error handler is the page's.
class WindowObject final : public PageObject<IHTMLWindow2> {
public:
    explicit WindowObject(std::shared_ptr<BrowserPage> page) : page_(std::move(page)) {}

    STDMETHODIMP put_onerror(VARIANT handler) override
    {
        return ComBoundary([&] {
            if (handler.vt == VT_DISPATCH)
                page_->onError = ComPtr<IDispatch>(handler.pdispVal);
            else if (handler.vt == VT_NULL || handler.vt == VT_EMPTY)
                page_->onError.Reset();
            else
                return E_INVALIDARG;
            return S_OK;
        });
    }
    STDMETHODIMP get_onerror(VARIANT* handler) override
    {
        return ComBoundary([&] {
            if (!handler)
                return E_POINTER;
            VariantInit(handler);
            if (page_->onError) {
                handler->vt = VT_DISPATCH;
                handler->pdispVal = page_->onError.Get();
                handler->pdispVal->AddRef();
            } else {
                handler->vt = VT_NULL;
            }
            return S_OK;
        });
    }
    STDMETHODIMP get_document(IHTMLDocument2**) override { return E_NOTIMPL; }
    STDMETHODIMP item(VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP get_length(LONG* length) override
    {
        if (!length)
            return E_POINTER;
        *length = 0;  // no frames known
        return S_OK;
    }
    MORVANE_HTML_WINDOW_UNUSED

private:
    std::span<const NamedId> Names() const override { return {}; }
    HRESULT Get(DISPID, VARIANT&) override { return DISP_E_MEMBERNOTFOUND; }
    bool Offers(REFIID iid) const override
    {
        return IsEqualIID(iid, IID_IHTMLWindow2) || IsEqualIID(iid, IID_IHTMLFramesCollection2);
    }

    std::shared_ptr<BrowserPage> page_;
};

// The document: answers from the page as it is at the time of asking, and
// takes the host's UI handler for the control.
class DocumentObject final : public PageObject<IHTMLDocument2>, public ICustomDoc {
public:
    explicit DocumentObject(std::shared_ptr<BrowserPage> page) : page_(std::move(page)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        if (ppv && IsEqualIID(iid, __uuidof(ICustomDoc))) {
            *ppv = static_cast<ICustomDoc*>(this);
            AddRef();
            return S_OK;
        }
        return PageObject::QueryInterface(iid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return PageObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return PageObject::Release(); }

    STDMETHODIMP SetUIHandler(IDocHostUIHandler* handler) override
    {
        return ComBoundary([&] {
            if (!page_->setUIHandler)
                return E_UNEXPECTED;  // the control is gone
            page_->setUIHandler(handler);
            return S_OK;
        });
    }

    STDMETHODIMP get_title(BSTR* title) override
    {
        return ComBoundary([&] {
            if (!title)
                return E_POINTER;
            *title = SysAllocStringLen(page_->title.data(), static_cast<UINT>(page_->title.size()));
            return *title ? S_OK : E_OUTOFMEMORY;
        });
    }
    STDMETHODIMP get_parentWindow(IHTMLWindow2** window) override
    {
        return ComBoundary([&] {
            if (!window)
                return E_POINTER;
            *window = new WindowObject(page_);
            (*window)->AddRef();
            return S_OK;
        });
    }
    STDMETHODIMP get_Script(IDispatch** script) override
    {
        if (script)
            *script = nullptr;
        return E_NOTIMPL;
    }
    MORVANE_HTML_DOCUMENT_UNUSED

private:
    enum : DISPID { kActiveElement = 1, kTitle };

    std::span<const NamedId> Names() const override
    {
        static constexpr NamedId kNames[] = {{L"activeElement", kActiveElement}, {L"title", kTitle}};
        return kNames;
    }
    HRESULT Get(DISPID id, VARIANT& result) override
    {
        switch (id) {
        case kActiveElement:
            if (!page_->focused) {
                result.vt = VT_NULL;
                return S_OK;
            }
            result.vt = VT_DISPATCH;
            result.pdispVal = new ElementObject(*page_->focused);
            result.pdispVal->AddRef();
            return S_OK;
        case kTitle:
            return PutText(result, page_->title);
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }
    bool Offers(REFIID iid) const override
    {
        return IsEqualIID(iid, IID_IHTMLDocument2) || IsEqualIID(iid, IID_IHTMLDocument);
    }

    std::shared_ptr<BrowserPage> page_;
};

// The host's DOCHOSTUIFLAG bits; 0 when it gives none.
DWORD AskHostInfo(IDocHostUIHandler* handler)
{
    if (!handler)
        return 0;
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    info.dwFlags = 0;
    const HRESULT hr = handler->GetHostInfo(&info);
    // Style sheet and namespace texts are the host's allocations, handed over.
    CoTaskMemFree(info.pchHostCss);
    CoTaskMemFree(info.pchHostNS);
    return SUCCEEDED(hr) ? info.dwFlags : 0;
}

}  // namespace

// --- instances ---

BrowserControl::BrowserControl(const wchar_t* windowClass)
    : windowClass_(windowClass), page_(std::make_shared<BrowserPage>())
{
    page_->setUIHandler = [this](IDocHostUIHandler* handler) { SetCustomUIHandler(handler); };
}

// The window and the sinks go first; the interface pointers follow as members.
BrowserControl::~BrowserControl()
{
    page_->setUIHandler = nullptr;  // a document object may outlive the control
    DestroyOwnWindow();
    events_.DisconnectAll();
}

// --- the page ---

void BrowserControl::SetFocusedElement(std::wstring tagName, std::wstring type, bool contentEditable)
{
    page_->focused = BrowserPage::Element{std::move(tagName), std::move(type), contentEditable};
}

void BrowserControl::ClearFocusedElement()
{
    page_->focused.reset();
}

void BrowserControl::SetTitle(std::wstring title)
{
    page_->title = std::move(title);
}

bool BrowserControl::FocusIsEditable() const
{
    return page_->focused && IsEditable(*page_->focused);
}

// --- events and the host's document interfaces ---

bool BrowserControl::FireBeforeNavigate2(const std::wstring& url)
{
    const ComPtr<BrowserControl> keepAlive(this);  // a sink may make the host let go of the control
    OwnedVariant address(url);
    OwnedVariant flags;
    flags.Get().vt = VT_I4;
    flags.Get().lVal = 0;
    OwnedVariant targetFrame{std::wstring()};
    OwnedVariant postData;
    OwnedVariant headers{std::wstring()};
    VARIANT_BOOL cancel = VARIANT_FALSE;
    // Last argument first.
    VARIANT args[7] = {CancelArgument(&cancel), headers.ByRef(),   postData.ByRef(),
                       targetFrame.ByRef(),     flags.ByRef(),     address.ByRef(),
                       DispatchArgument(static_cast<IDispatch*>(this))};
    DISPPARAMS params{args, nullptr, 7, 0};
    events_.Fire(DISPID_BEFORENAVIGATE2, params);
    return cancel != VARIANT_FALSE;
}

bool BrowserControl::FireNewWindow2()
{
    const ComPtr<BrowserControl> keepAlive(this);
    IDispatch* offered = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT window;
    VariantInit(&window);
    window.vt = VT_BYREF | VT_DISPATCH;
    window.ppdispVal = &offered;
    VARIANT args[2] = {CancelArgument(&cancel), window};
    DISPPARAMS params{args, nullptr, 2, 0};
    events_.Fire(DISPID_NEWWINDOW2, params);
    // A browser the host offers for the new window is not used, only let go.
    ComPtr<IDispatch> unused;
    unused.Attach(offered);
    return cancel != VARIANT_FALSE;
}

void BrowserControl::FireNavigateComplete2(const std::wstring& url)
{
    const ComPtr<BrowserControl> keepAlive(this);
    OwnedVariant address(url);
    VARIANT args[2] = {address.ByRef(), DispatchArgument(static_cast<IDispatch*>(this))};
    DISPPARAMS params{args, nullptr, 2, 0};
    events_.Fire(DISPID_NAVIGATECOMPLETE2, params);
}

void BrowserControl::FireDocumentComplete(const std::wstring& url)
{
    const ComPtr<BrowserControl> keepAlive(this);
    OwnedVariant address(url);
    VARIANT args[2] = {address.ByRef(), DispatchArgument(static_cast<IDispatch*>(this))};
    DISPPARAMS params{args, nullptr, 2, 0};
    events_.Fire(DISPID_DOCUMENTCOMPLETE, params);
}

void BrowserControl::StartDocument()
{
    const ComPtr<BrowserControl> keepAlive(this);
    uiHandler_.Reset();
    showUI_.Reset();
    hostInfoFlags_ = 0;
    if (!clientSite_)
        return;
    ComPtr<IDocHostUIHandler> handler;
    ComPtr<IDocHostShowUI> showUI;
    clientSite_->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(handler.GetAddressOf()));
    clientSite_->QueryInterface(__uuidof(IDocHostShowUI), reinterpret_cast<void**>(showUI.GetAddressOf()));
    uiHandler_ = handler;
    showUI_ = showUI;
    hostInfoFlags_ = AskHostInfo(UIHandler().Get());
}

void BrowserControl::SetCustomUIHandler(IDocHostUIHandler* handler)
{
    const ComPtr<BrowserControl> keepAlive(this);
    customUIHandler_ = handler;
    hostInfoFlags_ = AskHostInfo(UIHandler().Get());
    OnHostInfoChanged();
}

ComPtr<IDispatch> BrowserControl::External()
{
    const ComPtr<BrowserControl> keepAlive(this);
    const ComPtr<IDocHostUIHandler> handler = UIHandler();
    ComPtr<IDispatch> external;
    if (!handler)
        return external;
    IDispatch* given = nullptr;
    const HRESULT hr = handler->GetExternal(&given);
    external.Attach(given);
    if (FAILED(hr))
        external.Reset();
    return external;
}

bool BrowserControl::Alert(const std::wstring& text)
{
    const ComPtr<BrowserControl> keepAlive(this);
    const ComPtr<IDocHostShowUI> showUI = showUI_;
    if (!showUI)
        return true;
    std::wstring message = text;
    std::wstring caption = kMessageCaption;
    LRESULT answer = 0;
    return showUI->ShowMessage(window_.Get(), message.data(), caption.data(), MB_ICONWARNING, nullptr, 0, &answer) !=
           S_OK;
}

bool BrowserControl::RightClick(POINT screen)
{
    const ComPtr<BrowserControl> keepAlive(this);
    const ComPtr<IDocHostUIHandler> handler = UIHandler();
    if (!handler)
        return true;
    POINT at = screen;
    return handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr) != S_OK;
}

// --- IUnknown ---

STDMETHODIMP BrowserControl::QueryInterface(REFIID iid, void** ppv)
{
    return ComBoundary([&] {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject))
            *ppv = static_cast<IOleObject*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject))
            *ppv = static_cast<IOleInPlaceObject*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject))
            *ppv = static_cast<IOleInPlaceActiveObject*>(this);
        else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit))
            *ppv = static_cast<IPersistStreamInit*>(this);
        else if (IsEqualIID(iid, IID_IOleControl))
            *ppv = static_cast<IOleControl*>(this);
        else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
            *ppv = static_cast<IProvideClassInfo2*>(this);
        else if (IsEqualIID(iid, IID_IConnectionPointContainer))
            *ppv = static_cast<IConnectionPointContainer*>(this);
        else if (IsEqualIID(iid, IID_IDispatch))
            *ppv = static_cast<IDispatch*>(this);
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    });
}

STDMETHODIMP_(ULONG) BrowserControl::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

STDMETHODIMP_(ULONG) BrowserControl::Release()
{
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

// --- IOleObject ---

STDMETHODIMP BrowserControl::SetClientSite(IOleClientSite* site)
{
    return ComBoundary([&] {
        if (site == clientSite_.Get())
            return S_OK;
        // The document host interfaces are the old site's.
        uiHandler_.Reset();
        customUIHandler_.Reset();
        showUI_.Reset();
        // The new site is held before the old one is let go.
        ComPtr<IOleClientSite> held(site);
        clientSite_.Swap(held);
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::GetClientSite(IOleClientSite** site)
{
    return ComBoundary([&] {
        if (!site)
            return E_POINTER;
        return clientSite_.CopyTo(site);
    });
}

STDMETHODIMP BrowserControl::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    return ComBoundary([] { return S_OK; });
}

STDMETHODIMP BrowserControl::Close(DWORD)
{
    return ComBoundary([&] {
        const ComPtr<BrowserControl> keepAlive(this);
        OnClose();
        InPlaceDeactivate();
        DestroyOwnWindow();
        events_.DisconnectAll();
        if (adviseHolder_)
            adviseHolder_->SendOnClose();
        uiHandler_.Reset();
        customUIHandler_.Reset();
        showUI_.Reset();
        document_.Reset();
        const ComPtr<IOleClientSite> site = std::move(clientSite_);
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::SetMoniker(DWORD, IMoniker*)
{
    return ComBoundary([] { return E_NOTIMPL; });
}

STDMETHODIMP BrowserControl::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    return ComBoundary([&] {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    });
}

STDMETHODIMP BrowserControl::InitFromData(IDataObject*, BOOL, DWORD)
{
    return ComBoundary([] { return E_NOTIMPL; });
}

STDMETHODIMP BrowserControl::GetClipboardData(DWORD, IDataObject** data)
{
    return ComBoundary([&] {
        if (data)
            *data = nullptr;
        return E_NOTIMPL;
    });
}

STDMETHODIMP BrowserControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT)
{
    return ComBoundary([&] {
        const ComPtr<BrowserControl> keepAlive(this);
        if (site && site != clientSite_.Get())
            SetClientSite(site);
        switch (verb) {
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_SHOW:
            return ActivateInPlace();
        case OLEIVERB_PRIMARY:
        case OLEIVERB_UIACTIVATE:
            return ActivateUI();
        case OLEIVERB_HIDE:
            UIDeactivate();
            if (window_)
                ShowWindow(window_.Get(), SW_HIDE);
            return S_OK;
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
        }
    });
}

STDMETHODIMP BrowserControl::EnumVerbs(IEnumOLEVERB** verbs)
{
    return ComBoundary([&] {
        if (verbs)
            *verbs = nullptr;
        return E_NOTIMPL;
    });
}

STDMETHODIMP BrowserControl::Update()
{
    return ComBoundary([] { return S_OK; });
}

STDMETHODIMP BrowserControl::IsUpToDate()
{
    return ComBoundary([] { return S_OK; });
}

STDMETHODIMP BrowserControl::GetUserClassID(CLSID* clsid)
{
    return ComBoundary([&] {
        if (!clsid)
            return E_POINTER;
        *clsid = CLSID_WebBrowser;
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::GetUserType(DWORD, LPOLESTR* type)
{
    return ComBoundary([&] {
        if (type)
            *type = nullptr;
        return OLE_S_USEREG;
    });
}

STDMETHODIMP BrowserControl::SetExtent(DWORD, SIZEL* size)
{
    return ComBoundary([&] {
        if (!size)
            return E_POINTER;
        extent_ = *size;
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::GetExtent(DWORD, SIZEL* size)
{
    return ComBoundary([&] {
        if (!size)
            return E_POINTER;
        *size = extent_;
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::Advise(IAdviseSink* sink, DWORD* cookie)
{
    return ComBoundary([&] {
        if (!adviseHolder_) {
            const HRESULT hr = CreateOleAdviseHolder(adviseHolder_.GetAddressOf());
            if (FAILED(hr))
                return hr;
        }
        return adviseHolder_->Advise(sink, cookie);
    });
}

STDMETHODIMP BrowserControl::Unadvise(DWORD cookie)
{
    return ComBoundary([&] { return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION; });
}

STDMETHODIMP BrowserControl::EnumAdvise(IEnumSTATDATA** advise)
{
    return ComBoundary([&] {
        if (adviseHolder_)
            return adviseHolder_->EnumAdvise(advise);
        if (advise)
            *advise = nullptr;
        return E_NOTIMPL;
    });
}

STDMETHODIMP BrowserControl::GetMiscStatus(DWORD, DWORD* status)
{
    return ComBoundary([&] {
        if (!status)
            return E_POINTER;
        *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                  OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::SetColorScheme(LOGPALETTE*)
{
    return ComBoundary([] { return E_NOTIMPL; });
}

// --- activation ---

HRESULT BrowserControl::ActivateInPlace()
{
    if (inPlaceSite_) {
        if (window_ && !IsWindowVisible(window_.Get()))
            ShowWindow(window_.Get(), SW_SHOWNA);
        return S_OK;
    }
    if (!clientSite_)
        return E_UNEXPECTED;
    ComPtr<IOleInPlaceSite> site;
    if (FAILED(clientSite_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(site.GetAddressOf()))) ||
        !site)
        return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    HRESULT hr = site->OnInPlaceActivate();
    if (FAILED(hr))
        return hr;

    HWND parent = nullptr;
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> doc;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    hr = site->GetWindow(&parent);
    if (SUCCEEDED(hr) && !parent)
        hr = E_FAIL;
    if (SUCCEEDED(hr))
        hr = site->GetWindowContext(frame.GetAddressOf(), doc.GetAddressOf(), &pos, &clip, &info);
    if (SUCCEEDED(hr)) {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &BrowserControl::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = windowClass_;
        RegisterClassW(&wc);  // fails harmlessly when already registered
        window_.Reset(CreateWindowExW(0, windowClass_, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, pos.left,
                                      pos.top, pos.right - pos.left, pos.bottom - pos.top, parent, nullptr,
                                      wc.hInstance, this));
        if (!window_)
            hr = E_FAIL;
    }
    if (FAILED(hr)) {
        // The host hears the activation undone.
        site->OnInPlaceDeactivate();
        return hr;
    }
    position_ = pos;
    frame_ = frame;
    docWindow_ = doc;
    inPlaceSite_ = site;
    OnWindowCreated();
    return S_OK;
}

HRESULT BrowserControl::ActivateUI()
{
    const HRESULT hr = ActivateInPlace();
    if (FAILED(hr))
        return hr;
    if (uiActive_)
        return S_OK;
    uiActive_ = true;
    // Local copies: the host may deactivate the control from inside any of these.
    const ComPtr<IOleInPlaceSite> site = inPlaceSite_;
    const ComPtr<IOleInPlaceFrame> frame = frame_;
    const ComPtr<IOleInPlaceUIWindow> doc = docWindow_;
    site->OnUIActivate();
    if (frame)
        frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), windowClass_);
    if (doc)
        doc->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), windowClass_);
    if (window_)
        SetFocus(window_.Get());
    return S_OK;
}

void BrowserControl::DestroyOwnWindow()
{
    if (!window_)
        return;
    // Messages sent while it goes no longer reach this object.
    SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
    window_.Reset();
}

LRESULT CALLBACK BrowserControl::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowProcBoundary(0, [&]() -> LRESULT {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<BrowserControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            LRESULT handled = 0;
            if (message != WM_NCDESTROY && self->OnWindowMessage(message, wParam, lParam, &handled))
                return handled;
            switch (message) {
            case WM_NCDESTROY:
                // Destroyed with its parent: the handle is no longer the object's to destroy.
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
                if (self->window_.Get() == hwnd)
                    self->window_.Release();
                break;
            default:
                break;
            }
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    });
}

// --- IOleWindow, IOleInPlaceObject ---

STDMETHODIMP BrowserControl::GetWindow(HWND* hwnd)
{
    return ComBoundary([&] {
        if (!hwnd)
            return E_POINTER;
        *hwnd = window_.Get();
        return *hwnd ? S_OK : E_FAIL;
    });
}

STDMETHODIMP BrowserControl::ContextSensitiveHelp(BOOL)
{
    return ComBoundary([] { return E_NOTIMPL; });
}

STDMETHODIMP BrowserControl::InPlaceDeactivate()
{
    return ComBoundary([&] {
        if (!inPlaceSite_)
            return S_OK;
        const ComPtr<BrowserControl> keepAlive(this);
        UIDeactivate();
        const ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
        DestroyOwnWindow();
        frame_.Reset();
        docWindow_.Reset();
        if (site)
            site->OnInPlaceDeactivate();
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::UIDeactivate()
{
    return ComBoundary([&] {
        if (!uiActive_)
            return S_OK;
        uiActive_ = false;
        const ComPtr<BrowserControl> keepAlive(this);
        const ComPtr<IOleInPlaceSite> site = inPlaceSite_;
        const ComPtr<IOleInPlaceFrame> frame = frame_;
        const ComPtr<IOleInPlaceUIWindow> doc = docWindow_;
        if (frame)
            frame->SetActiveObject(nullptr, nullptr);
        if (doc)
            doc->SetActiveObject(nullptr, nullptr);
        if (site)
            site->OnUIDeactivate(FALSE);
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::SetObjectRects(LPCRECT pos, LPCRECT)
{
    return ComBoundary([&] {
        if (!pos)
            return E_POINTER;
        position_ = *pos;
        if (window_)
            SetWindowPos(window_.Get(), nullptr, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::ReactivateAndUndo()
{
    return ComBoundary([] { return E_NOTIMPL; });
}

// --- IOleInPlaceActiveObject ---

// The host sees every key first; only what it leaves goes to the control's
// own accelerators, and only what they leave goes on to the window.
STDMETHODIMP BrowserControl::TranslateAccelerator(LPMSG msg)
{
    return ComBoundary([&] {
        if (!msg)
            return E_INVALIDARG;
        const ComPtr<BrowserControl> keepAlive(this);
        const ComPtr<IDocHostUIHandler> handler = UIHandler();
        const HRESULT host = handler ? handler->TranslateAccelerator(msg, &kCgidMshtml, 0) : S_FALSE;
        if (host == S_OK)
            return S_OK;
        const bool keyDown = msg->message == WM_KEYDOWN;
        if (keyDown && msg->wParam == VK_F5) {
            OnRefreshAccelerator();
            return S_OK;
        }
        const bool key = keyDown || msg->message == WM_CHAR || msg->message == WM_KEYUP;
        if (key && msg->wParam == VK_BACK && !FocusIsEditable()) {
            if (keyDown)
                OnBackAccelerator();
            return S_OK;
        }
        return S_FALSE;
    });
}

STDMETHODIMP BrowserControl::OnFrameWindowActivate(BOOL)
{
    return ComBoundary([] { return S_OK; });
}

STDMETHODIMP BrowserControl::OnDocWindowActivate(BOOL)
{
    return ComBoundary([] { return S_OK; });
}

STDMETHODIMP BrowserControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return ComBoundary([] { return S_OK; });
}

STDMETHODIMP BrowserControl::EnableModeless(BOOL)
{
    return ComBoundary([] { return S_OK; });
}

// --- IPersist, IPersistStreamInit ---

STDMETHODIMP BrowserControl::GetClassID(CLSID* clsid)
{
    return ComBoundary([&] { return GetUserClassID(clsid); });
}

STDMETHODIMP BrowserControl::IsDirty()
{
    return ComBoundary([] { return S_FALSE; });
}

STDMETHODIMP BrowserControl::Load(LPSTREAM)
{
    return ComBoundary([] { return E_NOTIMPL; });
}

STDMETHODIMP BrowserControl::Save(LPSTREAM, BOOL)
{
    return ComBoundary([] { return E_NOTIMPL; });
}

STDMETHODIMP BrowserControl::GetSizeMax(ULARGE_INTEGER*)
{
    return ComBoundary([] { return E_NOTIMPL; });
}

STDMETHODIMP BrowserControl::InitNew()
{
    return ComBoundary([] { return S_OK; });
}

// --- IOleControl ---

STDMETHODIMP BrowserControl::GetControlInfo(CONTROLINFO* info)
{
    return ComBoundary([&] {
        if (!info)
            return E_POINTER;
        // No mnemonics of its own.
        info->hAccel = nullptr;
        info->cAccel = 0;
        info->dwFlags = 0;
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::OnMnemonic(MSG*)
{
    return ComBoundary([] { return E_NOTIMPL; });
}

STDMETHODIMP BrowserControl::OnAmbientPropertyChange(DISPID)
{
    return ComBoundary([] { return S_OK; });
}

STDMETHODIMP BrowserControl::FreezeEvents(BOOL)
{
    return ComBoundary([] { return S_OK; });
}

// --- IProvideClassInfo, IProvideClassInfo2 ---

STDMETHODIMP BrowserControl::GetClassInfo(ITypeInfo** info)
{
    return ComBoundary([&] {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    });
}

STDMETHODIMP BrowserControl::GetGUID(DWORD kind, GUID* guid)
{
    return ComBoundary([&] {
        if (!guid)
            return E_POINTER;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
            *guid = GUID_NULL;
            return E_INVALIDARG;
        }
        *guid = DIID_DWebBrowserEvents2;
        return S_OK;
    });
}

// --- IConnectionPointContainer ---

STDMETHODIMP BrowserControl::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    return ComBoundary([&] {
        if (points)
            *points = nullptr;
        return E_NOTIMPL;
    });
}

STDMETHODIMP BrowserControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    return ComBoundary([&] { return events_.Find(iid, point); });
}

// --- IDispatch ---

STDMETHODIMP BrowserControl::GetTypeInfoCount(UINT* count)
{
    return ComBoundary([&] {
        if (count)
            *count = 0;
        return S_OK;
    });
}

STDMETHODIMP BrowserControl::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    return ComBoundary([&] {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    });
}

STDMETHODIMP BrowserControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return ComBoundary([&] {
        static constexpr NamedId kNames[] = {{L"Navigate", kDispidNavigate},
                                             {L"Navigate2", kDispidNavigate2},
                                             {L"Refresh", kDispidRefresh},
                                             {L"Document", kDispidDocument}};
        return IdsOfNames(kNames, names, count, ids);
    });
}

STDMETHODIMP BrowserControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                      EXCEPINFO*, UINT* argError)
{
    return ComBoundary([&] {
        if (result)
            VariantInit(result);
        const UINT count = params ? params->cArgs : 0;
        switch (id) {
        case kDispidNavigate:
        case kDispidNavigate2: {
            if (!(flags & DISPATCH_METHOD))
                return DISP_E_MEMBERNOTFOUND;
            // The address, then flags, target frame, post data and headers, all but the first optional.
            if (count < 1 || count > 5)
                return DISP_E_BADPARAMCOUNT;
            if (params->cNamedArgs)
                return DISP_E_NONAMEDARGS;
            std::wstring url;
            if (!TextArgument(params->rgvarg[count - 1], url)) {
                if (argError)
                    *argError = count - 1;
                return DISP_E_TYPEMISMATCH;
            }
            return OnNavigate(url, id == kDispidNavigate2);
        }
        case kDispidRefresh:
            if (!(flags & DISPATCH_METHOD))
                return DISP_E_MEMBERNOTFOUND;
            return OnRefresh();
        case kDispidDocument:
            if (!(flags & DISPATCH_PROPERTYGET))
                return DISP_E_MEMBERNOTFOUND;
            if (!result)
                return E_INVALIDARG;
            if (!document_)
                document_ = new DocumentObject(page_);
            OnDocumentAsked();
            result->vt = VT_DISPATCH;
            result->pdispVal = document_.Get();
            result->pdispVal->AddRef();
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    });
}
