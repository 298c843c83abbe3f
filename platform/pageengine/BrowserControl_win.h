#pragma once
// What every stand-in for the platform's web browser control keeps toward its
// host: windowed in-place activation, the event dispinterface, the document
// host calls (host info, external, messages, context menu, the accelerator
// order) and its dispatch ids. What the control shows, and how it goes to a
// page, is a subclass's: the recording stand-in of the tests, the page
// engine of the demo build.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <exdisp.h>
#include <mshtmhst.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Com_win.h"
#include "platform/EventConnectionPoint_win.h"
#include "platform/Handles_win.h"

// What the control knows of its page: its title and the element that has
// the focus, which the document object answers from.
struct BrowserPage {
    struct Element {
        std::wstring tagName;
        std::wstring type;
        bool contentEditable = false;
    };
    std::wstring title;
    std::optional<Element> focused;
    // What script set as the window's error handler (window.onerror).
    ComPtr<IDispatch> onError;
    // The document's ICustomDoc::SetUIHandler goes to the control, while
    // there is one.
    std::function<void(IDocHostUIHandler*)> setUIHandler;
};

class BrowserControl : public IOleObject,
                       public IOleInPlaceObject,
                       public IOleInPlaceActiveObject,
                       public IPersistStreamInit,
                       public IOleControl,
                       public IProvideClassInfo2,
                       public IConnectionPointContainer,
                       public IDispatch {
public:
    // The dispatch ids hosts call the control by.
    static constexpr DISPID kDispidNavigate = 104;
    static constexpr DISPID kDispidNavigate2 = 500;
    static constexpr DISPID kDispidRefresh = -550;
    static constexpr DISPID kDispidDocument = 203;
    // The caption of the page's script messages.
    static constexpr wchar_t kMessageCaption[] = L"Message from webpage";

    HWND Window() const { return window_.Get(); }
    IOleClientSite* ClientSite() const { return clientSite_.Get(); }
    bool InPlaceActive() const { return static_cast<bool>(inPlaceSite_); }
    bool UIActive() const { return uiActive_; }

    // The page the document object describes. The tag name is answered in
    // upper case, as a page does.
    void SetFocusedElement(std::wstring tagName, std::wstring type, bool contentEditable);
    void ClearFocusedElement();
    void SetTitle(std::wstring title);

    // Events, fired to every sink as the control fires them; each returns
    // what the host decided.
    bool FireBeforeNavigate2(const std::wstring& url);  // true: cancelled
    bool FireNewWindow2();                               // true: cancelled
    void FireNavigateComplete2(const std::wstring& url);
    void FireDocumentComplete(const std::wstring& url);

    // A document begins: the client site's document host interfaces are
    // taken (and kept until the next start or Close) and the UI handler (the
    // document's, when the host gave one) asked for the host info. The
    // accelerators and the page actions below need it first.
    void StartDocument();
    bool HasUIHandler() const { return static_cast<bool>(UIHandler()); }
    // The handler the host gave the document (ICustomDoc::SetUIHandler)
    // takes the client site's place until the host gives another (or none)
    // or the site changes; its host info is asked at once and at each
    // document's start.
    void SetCustomUIHandler(IDocHostUIHandler* handler);
    bool HasShowUI() const { return static_cast<bool>(showUI_); }
    DWORD HostInfoFlags() const { return hostInfoFlags_; }

    // What page script sees as window.external; null without a handler or when it fails.
    ComPtr<IDispatch> External();
    // A script alert; true when the control would have shown its own box.
    bool Alert(const std::wstring& text);
    // A right click on the page; true when the control would have shown its own menu.
    bool RightClick(POINT screen);
    bool FocusIsEditable() const;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT pos) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;

    // IPersist, IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IProvideClassInfo, IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IDispatch: Navigate, Navigate2, Refresh and the Document property, by dispatch id.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

protected:
    explicit BrowserControl(const wchar_t* windowClass);
    virtual ~BrowserControl();
    BrowserControl(const BrowserControl&) = delete;
    BrowserControl& operator=(const BrowserControl&) = delete;

    // What the subclass does with the host's calls, on the host's thread.
    virtual HRESULT OnNavigate(const std::wstring& url, bool navigate2) = 0;
    virtual HRESULT OnRefresh() = 0;
    virtual void OnDocumentAsked() {}
    // The control's own accelerators, for keys the host left to it: F5, and
    // Backspace outside a text field.
    virtual void OnRefreshAccelerator() = 0;
    virtual void OnBackAccelerator() = 0;
    // A message for the control's window; true with *result when handled.
    virtual bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
    {
        (void)message, (void)wParam, (void)lParam, (void)result;
        return false;
    }
    // The window exists (in-place activation).
    virtual void OnWindowCreated() {}
    // The host closes the control.
    virtual void OnClose() {}
    // The host info flags changed within a document (a new UI handler).
    virtual void OnHostInfoChanged() {}

    const RECT& Position() const { return position_; }
    BrowserPage& Page() { return *page_; }

private:
    struct WindowTraits {
        using Handle = HWND;
        static Handle Invalid() { return nullptr; }
        static void Close(Handle h) { DestroyWindow(h); }
    };

    HRESULT ActivateInPlace();
    HRESULT ActivateUI();
    void DestroyOwnWindow();

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    LONG refs_ = 0;
    ComPtr<IOleClientSite> clientSite_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> docWindow_;
    ComPtr<IDocHostUIHandler> UIHandler() const { return customUIHandler_ ? customUIHandler_ : uiHandler_; }

    ComPtr<IDocHostUIHandler> uiHandler_;
    ComPtr<IDocHostUIHandler> customUIHandler_;
    ComPtr<IDocHostShowUI> showUI_;
    ComPtr<IDispatch> document_;
    const wchar_t* windowClass_;
    std::shared_ptr<BrowserPage> page_;
    UniqueHandle<WindowTraits> window_;
    RECT position_{};
    SIZEL extent_{};
    bool uiActive_ = false;
    DWORD hostInfoFlags_ = 0;
    EventConnectionPoint events_{static_cast<IOleObject*>(this), DIID_DWebBrowserEvents2};
};
