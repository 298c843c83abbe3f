#include "browser/CustomControlSite_win.h"

#include <string>

#include "browser/EditableElement.h"
#include "browser/HostUiPolicy.h"
#include "browser/ImpIDispatch_win.h"
#include "browser/WebBrowser2_win.h"
#include "platform/Text_win.h"

namespace {

// A property of a page object, read by name the way script reads it.
HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARIANT* value)
{
    VariantInit(value);
    if (!object)
        return E_POINTER;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    DISPPARAMS none{};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
}

ComPtr<IDispatch> DispatchProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT v;
    ComPtr<IDispatch> out;
    if (SUCCEEDED(GetProperty(object, name, &v)) && v.vt == VT_DISPATCH)
        out = v.pdispVal;
    VariantClear(&v);
    return out;
}

std::string TextProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT v;
    std::string out;
    if (SUCCEEDED(GetProperty(object, name, &v)) && v.vt == VT_BSTR && v.bstrVal)
        out = WideToAnsi(std::wstring_view(v.bstrVal, SysStringLen(v.bstrVal)));
    VariantClear(&v);
    return out;
}

bool BoolProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT v;
    bool out = SUCCEEDED(GetProperty(object, name, &v)) && v.vt == VT_BOOL && v.boolVal != VARIANT_FALSE;
    VariantClear(&v);
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------

class CCustomControlSite::XDocHostUIHandler final : public SitePart<IDocHostUIHandler> {
public:
    XDocHostUIHandler(CCustomControlSite& site) : SitePart(site), owner_(site) {}

    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override
    {
        // Only the flags and the double-click behaviour: the size is not checked.
        if (!info)
            return E_POINTER;
        info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override
    {
        return S_OK;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID*, DWORD) override
    {
        return ComBoundary([&]() -> HRESULT {
            if (!msg)
                return S_FALSE;
            const bool f5Held = (GetAsyncKeyState(VK_F5) & 0x8000) != 0;
            // The page is asked only for Backspace, the one key it may keep.
            const bool editable = msg->wParam == VK_BACK && !(msg->message == WM_KEYDOWN && f5Held) &&
                                  owner_.FocusIsEditable();
            return hostui::ConsumesKey(msg->message, msg->wParam, f5Held, editable) ? S_OK : S_FALSE;
        });
    }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override
    {
        if (key)
            *key = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override
    {
        if (target)
            *target = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetExternal(IDispatch** external) override
    {
        if (!external)
            return E_POINTER;
        *external = PageBridge();
        if (*external)
            (*external)->AddRef();
        return S_OK;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override
    {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override
    {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }

private:
    CCustomControlSite& owner_;
};

class CCustomControlSite::XDocHostShowUI final : public SitePart<IDocHostShowUI> {
public:
    using SitePart::SitePart;
    // Page script's message boxes (alert and the like) never appear.
    STDMETHODIMP ShowMessage(HWND, LPOLESTR, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*) override { return S_OK; }
    STDMETHODIMP ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) override { return S_OK; }
};

// ---------------------------------------------------------------------------

// The toolchain's import library lacks this interface id.
const IID kIidDocHostShowUI = __uuidof(IDocHostShowUI);

const SiteInterfaceEntry CCustomControlSite::interfaceEntries[] = {
    {&kIidDocHostShowUI,
     [](COleControlSite& s) -> IUnknown* {
         return static_cast<CCustomControlSite&>(s).m_xDocHostShowUI.get();
     }},
    {&IID_IDocHostUIHandler,
     [](COleControlSite& s) -> IUnknown* {
         return static_cast<CCustomControlSite&>(s).m_xDocHostUIHandler.get();
     }},
};

const SiteInterfaceMap CCustomControlSite::interfaceMap{&COleControlSite::interfaceMap, interfaceEntries,
                                                        std::size(interfaceEntries)};

const SiteInterfaceMap* CCustomControlSite::GetInterfaceMap() const { return &interfaceMap; }

CCustomControlSite::CCustomControlSite(COleControlContainer* container)
    : COleControlSite(container),
      m_xDocHostUIHandler(std::make_unique<XDocHostUIHandler>(*this)),
      m_xDocHostShowUI(std::make_unique<XDocHostShowUI>(*this))
{
}

CCustomControlSite::~CCustomControlSite() = default;

bool CCustomControlSite::FocusIsEditable()
{
    IDispatch* control = ControlDispatch();
    if (!control)
        return false;
    VARIANT document;
    VariantInit(&document);
    DISPPARAMS none{};
    if (FAILED(control->Invoke(CWebBrowser2::kDocument, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                               &document, nullptr, nullptr)) ||
        document.vt != VT_DISPATCH) {
        VariantClear(&document);
        return false;
    }
    ComPtr<IDispatch> element = DispatchProperty(document.pdispVal, L"activeElement");
    VariantClear(&document);
    if (!element)
        return false;
    return IsEditableElement(TextProperty(element.Get(), L"tagName"), TextProperty(element.Get(), L"type"),
                             BoolProperty(element.Get(), L"isContentEditable"));
}

COleControlSite* CCustomOccManager::CreateSite(COleControlContainer* container)
{
    return new CCustomControlSite(container);
}
