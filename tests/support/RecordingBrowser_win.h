#pragma once
// A stand-in for the platform's web browser control, registered in the test
// process for its class id. Toward its host it keeps the control's contract
// (windowed in-place activation, the event dispinterface, the document host
// calls, the accelerator order); toward the test it records what it is asked
// and fires events and page actions on demand. Nothing is ever shown: where
// the real control would show its own message box or menu, the test is told.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <exdisp.h>
#include <mshtmhst.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Com_win.h"
#include "platform/EventConnectionPoint_win.h"
#include "platform/Handles_win.h"

struct RecordingPage;

class RecordingBrowser final : public IOleObject,
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

    // A new instance, already in Live(); what the class object hands out.
    static ComPtr<RecordingBrowser> Create();

    // Every instance not yet freed, oldest first.
    static const std::vector<RecordingBrowser*>& Live();
    static int LiveCount();
    // The live instance whose window is hwnd, lies inside it or holds it; null if none.
    static RecordingBrowser* FromWindow(HWND hwnd);

    HWND Window() const { return window_.Get(); }
    IOleClientSite* ClientSite() const { return clientSite_.Get(); }
    bool InPlaceActive() const { return static_cast<bool>(inPlaceSite_); }
    bool UIActive() const { return uiActive_; }

    // What the host asked, in order: "Navigate <url>", "Navigate2 <url>",
    // "Refresh", "Document"; what the control's own accelerators did:
    // "Refresh by accelerator", "GoBack by accelerator"; and the keys its
    // window received: "Key <vk>" (WM_KEYDOWN), "Char <code>" (WM_CHAR).
    const std::vector<std::wstring>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }

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
    // taken (and kept until the next start or Close) and asked for the host
    // info. The accelerators and the page actions below need it first.
    void StartDocument();
    bool HasUIHandler() const { return static_cast<bool>(uiHandler_); }
    bool HasShowUI() const { return static_cast<bool>(showUI_); }
    DWORD HostInfoFlags() const { return hostInfoFlags_; }

    // What page script sees as window.external; null without a handler or when it fails.
    ComPtr<IDispatch> External();
    // A script alert; true when the control would have shown its own box.
    bool Alert(const std::wstring& text);
    // A right click on the page; true when the control would have shown its own menu.
    bool RightClick(POINT screen);

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

private:
    struct WindowTraits {
        using Handle = HWND;
        static Handle Invalid() { return nullptr; }
        static void Close(Handle h) { DestroyWindow(h); }
    };

    RecordingBrowser();
    ~RecordingBrowser();
    RecordingBrowser(const RecordingBrowser&) = delete;
    RecordingBrowser& operator=(const RecordingBrowser&) = delete;

    HRESULT ActivateInPlace();
    HRESULT ActivateUI();
    void DestroyOwnWindow();
    bool FocusIsEditable() const;
    void Record(std::wstring entry) { calls_.push_back(std::move(entry)); }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    LONG refs_ = 0;
    ComPtr<IOleClientSite> clientSite_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> docWindow_;
    ComPtr<IDocHostUIHandler> uiHandler_;
    ComPtr<IDocHostShowUI> showUI_;
    ComPtr<IDispatch> document_;
    std::shared_ptr<RecordingPage> page_;
    UniqueHandle<WindowTraits> window_;
    RECT position_{};
    SIZEL extent_{};
    bool uiActive_ = false;
    DWORD hostInfoFlags_ = 0;
    std::vector<std::wstring> calls_;
    EventConnectionPoint events_{static_cast<IOleObject*>(this), DIID_DWebBrowserEvents2};
};

// The stand-in's class object, registered for the browser control's class
// id for the life of the scope. OLE must be initialised on the thread.
class RecordingBrowserRegistration {
public:
    RecordingBrowserRegistration();
    ~RecordingBrowserRegistration();
    RecordingBrowserRegistration(const RecordingBrowserRegistration&) = delete;
    RecordingBrowserRegistration& operator=(const RecordingBrowserRegistration&) = delete;

    HRESULT Result() const { return result_; }

private:
    DWORD cookie_ = 0;
    HRESULT result_;
};
