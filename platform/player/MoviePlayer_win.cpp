// The player object. One outer object implements every interface the host
// and OleCreate use; the connection point is a small part object whose
// reference counting forwards to it. Input comes through
// IOleInPlaceObjectWindowless::OnWindowMessage, pictures go out through
// IViewObject::Draw over whatever the DC already holds (so the host can
// recover alpha from two renders), and picture changes are announced with
// the site's InvalidateRect.
#include "platform/player/MoviePlayer_win.h"

#include <ole2.h>
#include <olectl.h>
#include <ocidl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <cmath>
#include <memory>
#include <utility>
#include <optional>
#include <string>
#include <vector>

#include "platform/player/MovieControl_win.h"
#include "platform/Handles_win.h"
#include "platform/Text_win.h"
#include "platform/movie/ButtonTracker.h"
#include "platform/movie/Movie.h"
#include "platform/movie/StageTransform.h"
#include "platform/Geometry_win.h"
#include "platform/Messages_win.h"

namespace {

constexpr UINT kWmRunStartCommands = WM_APP + 0x51;
constexpr wchar_t kPumpClass[] = L"MorvaneMoviePlayerPump";

// A decoded look, premultiplied in a DIB section with a DC of its own, ready
// for AlphaBlend: composing over whatever the target holds is then one call,
// much cheaper per frame than drawing through GDI+.
class Sprite {
public:
    Sprite(ScopedBitmap bitmap, ScopedMemoryDc dc, int w, int h)
        : bitmap_(std::move(bitmap)), dc_(std::move(dc)), width_(w), height_(h)
    {
        previous_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    // The bitmap leaves the DC before either is deleted.
    ~Sprite() { SelectObject(dc_.Get(), previous_); }
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    void DrawOver(HDC target, int x, int y, int w, int h) const
    {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(target, x, y, w, h, dc_.Get(), 0, 0, width_, height_, blend);
    }

private:
    ScopedBitmap bitmap_;
    ScopedMemoryDc dc_;
    HGDIOBJ previous_ = nullptr;
    int width_;
    int height_;
};

std::unique_ptr<Sprite> LoadSprite(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory)
        return nullptr;
    void* p = GlobalLock(memory);
    memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    std::unique_ptr<Sprite> sprite;
    {
        std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
        if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok) {
            const int w = static_cast<int>(bitmap->GetWidth());
            const int h = static_cast<int>(bitmap->GetHeight());
            BITMAPINFO bmi{};
            bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            bmi.bmiHeader.biWidth = w;
            bmi.bmiHeader.biHeight = -h;
            bmi.bmiHeader.biPlanes = 1;
            bmi.bmiHeader.biBitCount = 32;
            bmi.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            ScopedBitmap dib(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
            ScopedMemoryDc dc(dib ? CreateCompatibleDC(nullptr) : nullptr);
            Gdiplus::Rect all(0, 0, w, h);
            Gdiplus::BitmapData data{};
            data.Width = static_cast<UINT>(w);
            data.Height = static_cast<UINT>(h);
            data.Stride = w * 4;
            data.PixelFormat = PixelFormat32bppPARGB;
            data.Scan0 = bits;
            // Decode straight into the DIB, premultiplied.
            if (dc && bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                       PixelFormat32bppPARGB, &data) == Gdiplus::Ok) {
                bitmap->UnlockBits(&data);
                sprite = std::make_unique<Sprite>(std::move(dib), std::move(dc), w, h);
            }
        }
    }
    stream->Release();
    return sprite;
}

class CMoviePlayer;

// The event connection point: any number of sinks, cookies from 1.
class CEventPoint final : public IConnectionPoint {
public:
    explicit CEventPoint(CMoviePlayer* owner) : owner_(owner) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
            *ppv = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetConnectionInterface(IID* iid) override
    {
        if (!iid)
            return E_POINTER;
        *iid = DIID__IShockwaveFlashEvents;
        return S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** cpc) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override
    {
        if (!sink || !cookie)
            return E_POINTER;
        IDispatch* dispatch = nullptr;
        if (FAILED(sink->QueryInterface(DIID__IShockwaveFlashEvents, reinterpret_cast<void**>(&dispatch))) &&
            FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
            return CONNECT_E_CANNOTCONNECT;
        sinks_.push_back({++lastCookie_, dispatch});
        *cookie = lastCookie_;
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override
    {
        for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
            if (it->cookie == cookie) {
                IDispatch* sink = it->sink;
                sinks_.erase(it);
                sink->Release();
                return S_OK;
            }
        }
        return CONNECT_E_NOCONNECTION;
    }
    STDMETHODIMP EnumConnections(IEnumConnections** e) override
    {
        if (e)
            *e = nullptr;
        return E_NOTIMPL;
    }

    // Calls every sink; the arguments are given first to last.
    void Fire(DISPID id, const std::vector<std::wstring>& args)
    {
        std::vector<VARIANT> vars(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            VariantInit(&vars[args.size() - 1 - i]);  // the last argument comes first
            vars[args.size() - 1 - i].vt = VT_BSTR;
            vars[args.size() - 1 - i].bstrVal = SysAllocStringLen(args[i].data(), static_cast<UINT>(args[i].size()));
        }
        DISPPARAMS params{vars.data(), nullptr, static_cast<UINT>(vars.size()), 0};
        // A sink may unadvise from inside the call: work on a copy.
        std::vector<IDispatch*> sinks;
        for (const Sink& s : sinks_) {
            s.sink->AddRef();
            sinks.push_back(s.sink);
        }
        for (IDispatch* sink : sinks) {
            sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
            sink->Release();
        }
        for (VARIANT& v : vars)
            VariantClear(&v);
    }

    void DisconnectAll()
    {
        for (Sink& s : sinks_)
            s.sink->Release();
        sinks_.clear();
    }

private:
    struct Sink {
        DWORD cookie;
        IDispatch* sink;
    };
    CMoviePlayer* owner_;
    std::vector<Sink> sinks_;
    DWORD lastCookie_ = 0;
};

class CMoviePlayer final : public IOleObject,
                           public IPersistStorage,
                           public IPersistStreamInit,
                           public IViewObjectEx,
                           public IOleInPlaceObjectWindowless,
                           public IConnectionPointContainer,
                           public IShockwaveFlash {
public:
    CMoviePlayer()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr);
    }
    ~CMoviePlayer()
    {
        DestroyPump();
        ReleaseSite();
        events_.DisconnectAll();
        picture_.reset();
        looks_.clear();
        if (gdiplusToken_)
            Gdiplus::GdiplusShutdown(gdiplusToken_);
    }
    CMoviePlayer(const CMoviePlayer&) = delete;
    CMoviePlayer& operator=(const CMoviePlayer&) = delete;

    // IUnknown: the whole table in one place.
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject))
            *ppv = static_cast<IOleObject*>(this);
        else if (IsEqualIID(iid, IID_IPersistStorage))
            *ppv = static_cast<IPersistStorage*>(this);
        else if (IsEqualIID(iid, IID_IPersistStreamInit))
            *ppv = static_cast<IPersistStreamInit*>(this);
        else if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2) ||
                 IsEqualIID(iid, IID_IViewObjectEx))
            *ppv = static_cast<IViewObjectEx*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceObject) || IsEqualIID(iid, IID_IOleInPlaceObjectWindowless) ||
                 IsEqualIID(iid, IID_IOleWindow))
            *ppv = static_cast<IOleInPlaceObjectWindowless*>(this);
        else if (IsEqualIID(iid, IID_IConnectionPointContainer))
            *ppv = static_cast<IConnectionPointContainer*>(this);
        else if (IsEqualIID(iid, IID_IShockwaveFlash) || IsEqualIID(iid, IID_IDispatch))
            *ppv = static_cast<IShockwaveFlash*>(this);
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override
    {
        if (site == clientSite_)
            return S_OK;
        if (site)
            site->AddRef();
        if (clientSite_)
            clientSite_->Release();
        clientSite_ = site;
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override
    {
        if (!site)
            return E_POINTER;
        *site = clientSite_;
        if (clientSite_)
            clientSite_->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override
    {
        InPlaceDeactivate();
        events_.DisconnectAll();
        ReleaseSite();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override
    {
        if (verb != OLEIVERB_SHOW && verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_UIACTIVATE)
            return OLEOBJ_S_INVALIDVERB;
        if (site && site != clientSite_)
            SetClientSite(site);
        return ActivateWindowless();
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = CLSID_ShockwaveFlash;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL* size) override
    {
        if (!size)
            return E_POINTER;
        // HIMETRIC at 96 dots per inch.
        size->cx = MulDiv(static_cast<int>(movie_ ? movie_->stageWidth : 0), 2540, 96);
        size->cy = MulDiv(static_cast<int>(movie_ ? movie_->stageHeight : 0), 2540, 96);
        return S_OK;
    }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override
    {
        if (!status)
            return E_POINTER;
        *status = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                  OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IPersist, IPersistStorage and IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override { return GetUserClassID(clsid); }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP InitNew(IStorage*) override { return S_OK; }
    STDMETHODIMP Load(IStorage*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStorage*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
    STDMETHODIMP HandsOffStorage() override { return S_OK; }
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override { return S_OK; }

    // IViewObject, IViewObject2, IViewObjectEx
    STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                      BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override { return S_FALSE; }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
    STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
    STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override
    {
        return GetExtent(aspect, size);
    }
    STDMETHODIMP GetRect(DWORD, LPRECTL rect) override
    {
        if (!rect)
            return E_POINTER;
        *rect = RECTL{position_.left, position_.top, position_.right, position_.bottom};
        return S_OK;
    }
    STDMETHODIMP GetViewStatus(DWORD* status) override
    {
        if (!status)
            return E_POINTER;
        *status = VIEWSTATUS_DVASPECTTRANSPARENT;
        return S_OK;
    }
    STDMETHODIMP QueryHitPoint(DWORD, LPCRECT, POINT, LONG, DWORD* result) override
    {
        if (result)
            *result = HITRESULT_HIT;
        return S_OK;
    }
    STDMETHODIMP QueryHitRect(DWORD, LPCRECT, LPCRECT, LONG, DWORD* result) override
    {
        if (result)
            *result = HITRESULT_HIT;
        return S_OK;
    }
    STDMETHODIMP GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override
    {
        return E_NOTIMPL;
    }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless
    STDMETHODIMP GetWindow(HWND* hwnd) override
    {
        if (hwnd)
            *hwnd = nullptr;
        return E_FAIL;  // windowless
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override
    {
        if (inPlaceSite_) {
            inPlaceSite_->OnInPlaceDeactivateEx(TRUE);
            inPlaceSite_->Release();
            inPlaceSite_ = nullptr;
        }
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT) override
    {
        if (pos)
            position_ = *pos;
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    STDMETHODIMP GetDropTarget(IDropTarget** target) override
    {
        if (target)
            *target = nullptr;
        return E_NOTIMPL;
    }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** e) override
    {
        if (e)
            *e = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        if (!point)
            return E_POINTER;
        *point = nullptr;
        if (!IsEqualIID(iid, DIID__IShockwaveFlashEvents))
            return CONNECT_E_NOCONNECTION;
        *point = &events_;
        events_.AddRef();
        return S_OK;
    }

    // IDispatch of the movie interface: scripting is not offered.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (count)
            *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // The movie interface
    STDMETHODIMP put_WMode(BSTR mode) override
    {
        transparent_ = mode && lstrcmpiW(mode, L"transparent") == 0;
        return S_OK;
    }
    STDMETHODIMP put_Scale(BSTR) override { return S_OK; }  // the stage is always shown whole, aspect kept
    STDMETHODIMP put_BackgroundColor(long color) override
    {
        background_ = color;
        return S_OK;
    }
    STDMETHODIMP put_EmbedMovie(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP Play() override
    {
        playing_ = true;
        // The movie's start commands run from the message loop, after the
        // host has finished its own start-up.
        if (movie_ && !startCommandsRun_ && EnsurePump())
            PostMessageW(pump_, kWmRunStartCommands, 0, reinterpret_cast<LPARAM>(this));
        Invalidate();
        return S_OK;
    }
    STDMETHODIMP StopPlay() override
    {
        playing_ = false;
        return S_OK;
    }

    void RunStartCommands()
    {
        if (!movie_ || startCommandsRun_ || !playing_)
            return;
        startCommandsRun_ = true;
        AddRef();  // a command may make the host let go of the player
        for (const movie::FsCommand& c : movie_->startCommands)
            events_.Fire(kDispidFSCommand, {AnsiToWide(c.command), AnsiToWide(c.argument)});
        Release();
    }

private:
    friend class CEventPoint;

    HRESULT ActivateWindowless();
    void Invalidate()
    {
        if (inPlaceSite_)
            inPlaceSite_->InvalidateRect(nullptr, FALSE);
    }
    void ReleaseSite()
    {
        if (inPlaceSite_) {
            inPlaceSite_->Release();
            inPlaceSite_ = nullptr;
        }
        if (clientSite_) {
            clientSite_->Release();
            clientSite_ = nullptr;
        }
    }
    bool EnsurePump();
    void DestroyPump()
    {
        if (pump_) {
            DestroyWindow(pump_);
            pump_ = nullptr;
        }
    }
    std::optional<movie::StageTransform> Placement(const RECT& area) const
    {
        if (!movie_)
            return std::nullopt;
        return movie::StageTransform::ShowAll(ToRect(area), movie_->stageWidth, movie_->stageHeight);
    }
    void Perform(const movie::Action& action);

    LONG refs_ = 0;
    ULONG_PTR gdiplusToken_ = 0;
    IOleClientSite* clientSite_ = nullptr;
    IOleInPlaceSiteWindowless* inPlaceSite_ = nullptr;
    RECT position_{};
    CEventPoint events_{this};
    std::optional<movie::Movie> movie_;
    std::unique_ptr<Sprite> picture_;
    std::vector<std::unique_ptr<Sprite>> looks_;  // up, over per button
    std::optional<movie::ButtonTracker> tracker_;
    HWND pump_ = nullptr;
    bool playing_ = false;
    bool startCommandsRun_ = false;
    bool transparent_ = false;
    long background_ = 0;
};

STDMETHODIMP_(ULONG) CEventPoint::AddRef() { return owner_->AddRef(); }
STDMETHODIMP_(ULONG) CEventPoint::Release() { return owner_->Release(); }
STDMETHODIMP CEventPoint::GetConnectionPointContainer(IConnectionPointContainer** cpc)
{
    return owner_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(cpc));
}

LRESULT CALLBACK PumpProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kWmRunStartCommands) {
        auto* player = reinterpret_cast<CMoviePlayer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (player && reinterpret_cast<CMoviePlayer*>(lParam) == player)
            player->RunStartCommands();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool CMoviePlayer::EnsurePump()
{
    if (pump_)
        return true;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &PumpProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kPumpClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    pump_ = CreateWindowExW(0, kPumpClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (pump_)
        SetWindowLongPtrW(pump_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return pump_ != nullptr;
}

HRESULT CMoviePlayer::ActivateWindowless()
{
    if (inPlaceSite_)
        return S_OK;
    if (!clientSite_)
        return E_UNEXPECTED;
    IOleInPlaceSiteWindowless* site = nullptr;
    if (FAILED(clientSite_->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&site))) || !site)
        return E_NOINTERFACE;
    if (site->CanWindowlessActivate() != S_OK || site->CanInPlaceActivate() != S_OK) {
        site->Release();
        return E_FAIL;
    }
    BOOL noRedraw = FALSE;
    site->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS);
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = nullptr;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    if (SUCCEEDED(site->GetWindowContext(&frame, &doc, &pos, &clip, &info)))
        position_ = pos;
    // The host hands its frame out without a reference of ours to drop.
    if (doc)
        doc->Release();
    inPlaceSite_ = site;
    Invalidate();
    return S_OK;
}

STDMETHODIMP CMoviePlayer::Load(LPSTREAM stream)
{
    if (!stream)
        return E_POINTER;
    std::vector<uint8_t> bytes;
    uint8_t chunk[16384];
    for (;;) {
        ULONG read = 0;
        HRESULT hr = stream->Read(chunk, sizeof chunk, &read);
        if (FAILED(hr))
            return hr;
        bytes.insert(bytes.end(), chunk, chunk + read);
        if (read == 0 || hr == S_FALSE)
            break;
    }
    auto inner = movie::UnwrapEmbeddedStream(bytes);
    if (!inner)
        return E_INVALIDARG;
    std::optional<movie::Movie> parsed = movie::ParseMovie(*inner);
    if (!parsed)
        return E_INVALIDARG;
    std::unique_ptr<Sprite> picture = LoadSprite(parsed->picture.bytes);
    std::vector<std::unique_ptr<Sprite>> looks;
    for (const movie::Button& b : parsed->buttons) {
        looks.push_back(LoadSprite(b.up.bytes));
        looks.push_back(LoadSprite(b.over.bytes));
    }
    movie_ = std::move(parsed);
    picture_ = std::move(picture);
    looks_ = std::move(looks);
    tracker_.emplace(movie::ButtonTracker::ForMovie(*movie_));
    startCommandsRun_ = false;
    Invalidate();
    return S_OK;
}

STDMETHODIMP CMoviePlayer::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (aspect != DVASPECT_CONTENT && aspect != DVASPECT_TRANSPARENT)
        return DV_E_DVASPECT;
    if (!dc)
        return E_INVALIDARG;
    RECT area = bounds ? RECT{bounds->left, bounds->top, bounds->right, bounds->bottom} : position_;
    const std::optional<movie::StageTransform> stage = Placement(area);
    if (!stage)
        return S_OK;  // nothing loaded: the DC keeps what it holds
    if (aspect == DVASPECT_CONTENT && !transparent_) {
        // An opaque movie paints its background first.
        ScopedBrush back(CreateSolidBrush(static_cast<COLORREF>(background_) & 0xFFFFFF));
        FillRect(dc, &area, back.Get());
    }
    auto draw = [&](const Sprite* sprite, double x, double y, double w, double h) {
        if (!sprite)
            return;
        const Rect r = stage->ToDevice(x, y, w, h);
        sprite->DrawOver(dc, r.left, r.top, r.Width(), r.Height());
    };
    draw(picture_.get(), movie_->pictureX / double(movie::kTwipsPerPixel),
         movie_->pictureY / double(movie::kTwipsPerPixel), movie_->picture.width, movie_->picture.height);
    for (size_t i = 0; i < movie_->buttons.size(); ++i) {
        const bool over = tracker_ && tracker_->LookOf(i) != movie::Look::Up;
        Rect r = movie::ToPixels(movie_->buttons[i].place);
        draw(looks_[i * 2 + (over ? 1 : 0)].get(), r.left, r.top, r.Width(), r.Height());
    }
    return S_OK;
}

STDMETHODIMP CMoviePlayer::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!tracker_ || !movie_)
        return S_FALSE;
    const std::optional<movie::StageTransform> stage = Placement(position_);
    if (!stage)
        return S_FALSE;
    const Point at = stage->ToStage(msg::PointFromLParam(lParam).x, msg::PointFromLParam(lParam).y);
    auto stageX = [&] { return at.x; };
    auto stageY = [&] { return at.y; };
    movie::PointerOutcome outcome;
    bool consumed = false;
    switch (message) {
    case WM_MOUSEMOVE:
        outcome = tracker_->MouseMove(stageX(), stageY(), (wParam & MK_LBUTTON) != 0);
        break;
    case WM_LBUTTONDOWN:
        consumed = tracker_->HitTest(stageX(), stageY()).has_value();
        outcome = tracker_->LeftDown(stageX(), stageY());
        break;
    case WM_LBUTTONUP:
        consumed = tracker_->HitTest(stageX(), stageY()).has_value();
        outcome = tracker_->LeftUp(stageX(), stageY());
        break;
    case WM_MOUSELEAVE:
        outcome = tracker_->MouseLeave();
        break;
    default:
        return S_FALSE;  // keys, wheel, cursor: the window's own
    }
    AddRef();  // an action may make the host let go of the player
    if (outcome.NeedsRedraw())
        Invalidate();
    if (outcome.clicked && *outcome.clicked < movie_->buttons.size())
        Perform(movie_->buttons[*outcome.clicked].action);
    Release();
    if (!consumed)
        return S_FALSE;
    if (result)
        *result = 0;
    return S_OK;
}

void CMoviePlayer::Perform(const movie::Action& action)
{
    if (const auto* command = std::get_if<movie::FsCommand>(&action)) {
        events_.Fire(kDispidFSCommand, {AnsiToWide(command->command), AnsiToWide(command->argument)});
    } else if (const auto* link = std::get_if<movie::OpenUrl>(&action)) {
        // A page for a new window goes to the system's browser.
        ShellExecuteW(nullptr, L"open", AnsiToWide(link->url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

class CPlayerFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // A static object: the counts do not govern its life.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* player = new (std::nothrow) CMoviePlayer;
        if (!player)
            return E_OUTOFMEMORY;
        player->AddRef();
        HRESULT hr = player->QueryInterface(iid, ppv);
        player->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

CPlayerFactory g_factory;
DWORD g_registration = 0;

}  // namespace

HRESULT RegisterMoviePlayerClass()
{
    if (g_registration)
        return S_OK;
    return CoRegisterClassObject(CLSID_ShockwaveFlash, &g_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                 &g_registration);
}

void RevokeMoviePlayerClass()
{
    if (g_registration) {
        CoRevokeClassObject(g_registration);
        g_registration = 0;
    }
}
