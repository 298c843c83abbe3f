// The player object. One outer object implements every interface the host
// and OleCreate use; the event connection point is a small part object whose
// reference counting forwards to it. Input comes through
// IOleInPlaceObjectWindowless::OnWindowMessage, pictures go out through
// IViewObject::Draw over whatever the DC already holds (so the host can
// recover alpha from two renders), and picture changes are announced with
// the site's InvalidateRect.
#include "platform/player/MoviePlayerInternal_win.h"
#include "platform/DefaultBrowser_win.h"

#include <ole2.h>
#include <olectl.h>
#include <ocidl.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/Com_win.h"
#include "platform/EventConnectionPoint_win.h"
#include "platform/Geometry_win.h"
#include "platform/Handles_win.h"
#include "platform/Messages_win.h"
#include "platform/Text_win.h"
#include "platform/movie/ButtonTracker.h"
#include "platform/movie/Movie.h"
#include "platform/movie/StageTransform.h"
#include "platform/player/MovieControl_win.h"
#include "platform/player/Sprite_win.h"

namespace {

class CMoviePlayer final : public IOleObject,
                           public IPersistStorage,
                           public IPersistStreamInit,
                           public IViewObjectEx,
                           public IOleInPlaceObjectWindowless,
                           public IConnectionPointContainer,
                           public IShockwaveFlash,
                           private StartCommandRunner {
public:
    CMoviePlayer() = default;
    // The pump, the sites and the sinks go first, in that order; GDI+ (the
    // first member) last, after the pictures.
    ~CMoviePlayer()
    {
        pump_.Destroy();
        ReleaseSite();
        events_.DisconnectAll();
    }
    CMoviePlayer(const CMoviePlayer&) = delete;
    CMoviePlayer& operator=(const CMoviePlayer&) = delete;

    // IUnknown: the whole table in one place.
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        return ComBoundary([&] {
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

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override
    {
        return ComBoundary([&] {
            if (site == clientSite_.Get())
                return S_OK;
            // The new site is held before the old one is let go.
            ComPtr<IOleClientSite> held(site);
            clientSite_.Swap(held);
            return S_OK;
        });
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override
    {
        return ComBoundary([&] {
            if (!site)
                return E_POINTER;
            return clientSite_.CopyTo(site);
        });
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP Close(DWORD) override
    {
        return ComBoundary([&] {
            InPlaceDeactivate();
            events_.DisconnectAll();
            ReleaseSite();
            return S_OK;
        });
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override
    {
        return ComBoundary([&] {
            if (verb != OLEIVERB_SHOW && verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_UIACTIVATE)
                return OLEOBJ_S_INVALIDVERB;
            if (site && site != clientSite_.Get())
                SetClientSite(site);
            return ActivateWindowless();
        });
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP Update() override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP IsUpToDate() override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override
    {
        return ComBoundary([&] {
            if (!clsid)
                return E_POINTER;
            *clsid = CLSID_ShockwaveFlash;
            return S_OK;
        });
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return ComBoundary([] { return OLE_S_USEREG; }); }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP GetExtent(DWORD, SIZEL* size) override
    {
        return ComBoundary([&] {
            if (!size)
                return E_POINTER;
            // HIMETRIC at 96 dots per inch.
            size->cx = MulDiv(static_cast<int>(movie_ ? movie_->stageWidth : 0), 2540, 96);
            size->cy = MulDiv(static_cast<int>(movie_ ? movie_->stageHeight : 0), 2540, 96);
            return S_OK;
        });
    }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP Unadvise(DWORD) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override
    {
        return ComBoundary([&] {
            if (!status)
                return E_POINTER;
            *status = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                      OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
            return S_OK;
        });
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return ComBoundary([] { return E_NOTIMPL; }); }

    // IPersist, IPersistStorage and IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override
    {
        return ComBoundary([&] { return GetUserClassID(clsid); });
    }
    STDMETHODIMP IsDirty() override { return ComBoundary([] { return S_FALSE; }); }
    STDMETHODIMP InitNew(IStorage*) override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP Load(IStorage*) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP Save(IStorage*, BOOL) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP SaveCompleted(IStorage*) override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP HandsOffStorage() override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP InitNew() override { return ComBoundary([] { return S_OK; }); }

    // IViewObject, IViewObject2, IViewObjectEx
    STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                      BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override
    {
        return ComBoundary([] { return S_FALSE; });
    }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP Unfreeze(DWORD) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override
    {
        return ComBoundary([&] { return GetExtent(aspect, size); });
    }
    STDMETHODIMP GetRect(DWORD, LPRECTL rect) override
    {
        return ComBoundary([&] {
            if (!rect)
                return E_POINTER;
            *rect = RECTL{position_.left, position_.top, position_.right, position_.bottom};
            return S_OK;
        });
    }
    STDMETHODIMP GetViewStatus(DWORD* status) override
    {
        return ComBoundary([&] {
            if (!status)
                return E_POINTER;
            *status = VIEWSTATUS_DVASPECTTRANSPARENT;
            return S_OK;
        });
    }
    STDMETHODIMP QueryHitPoint(DWORD, LPCRECT, POINT, LONG, DWORD* result) override
    {
        return ComBoundary([&] {
            if (result)
                *result = HITRESULT_HIT;
            return S_OK;
        });
    }
    STDMETHODIMP QueryHitRect(DWORD, LPCRECT, LPCRECT, LONG, DWORD* result) override
    {
        return ComBoundary([&] {
            if (result)
                *result = HITRESULT_HIT;
            return S_OK;
        });
    }
    STDMETHODIMP GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override
    {
        return ComBoundary([] { return E_NOTIMPL; });
    }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless
    STDMETHODIMP GetWindow(HWND* hwnd) override
    {
        return ComBoundary([&] {
            if (hwnd)
                *hwnd = nullptr;
            return E_FAIL;  // windowless
        });
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP InPlaceDeactivate() override
    {
        return ComBoundary([&] {
            if (inPlaceSite_) {
                inPlaceSite_->OnInPlaceDeactivateEx(TRUE);
                inPlaceSite_.Reset();
            }
            return S_OK;
        });
    }
    STDMETHODIMP UIDeactivate() override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT) override
    {
        return ComBoundary([&] {
            if (pos)
                position_ = *pos;
            return S_OK;
        });
    }
    STDMETHODIMP ReactivateAndUndo() override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    STDMETHODIMP GetDropTarget(IDropTarget** target) override
    {
        return ComBoundary([&] {
            if (target)
                *target = nullptr;
            return E_NOTIMPL;
        });
    }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** e) override
    {
        return ComBoundary([&] {
            if (e)
                *e = nullptr;
            return E_NOTIMPL;
        });
    }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        return ComBoundary([&] { return events_.Find(iid, point); });
    }

    // IDispatch of the movie interface: scripting is not offered.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        return ComBoundary([&] {
            if (count)
                *count = 0;
            return S_OK;
        });
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return ComBoundary([] { return E_NOTIMPL; }); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return ComBoundary([] { return E_NOTIMPL; });
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return ComBoundary([] { return E_NOTIMPL; });
    }

    // The movie interface
    STDMETHODIMP put_WMode(BSTR mode) override
    {
        return ComBoundary([&] {
            transparent_ = mode && lstrcmpiW(mode, L"transparent") == 0;
            return S_OK;
        });
    }
    // The stage is always shown whole, aspect kept.
    STDMETHODIMP put_Scale(BSTR) override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP put_BackgroundColor(long color) override
    {
        return ComBoundary([&] {
            background_ = color;
            return S_OK;
        });
    }
    STDMETHODIMP put_EmbedMovie(VARIANT_BOOL) override { return ComBoundary([] { return S_OK; }); }
    STDMETHODIMP Play() override
    {
        return ComBoundary([&] {
            playing_ = true;
            // The movie's start commands run from the message loop, after the
            // host has finished its own start-up.
            if (movie_ && !startCommandsRun_)
                pump_.Post();
            Invalidate();
            return S_OK;
        });
    }
    STDMETHODIMP StopPlay() override
    {
        return ComBoundary([&] {
            playing_ = false;
            return S_OK;
        });
    }

private:
    // StartCommandRunner: the pump's call from the message loop.
    void RunStartCommands() override
    {
        if (!movie_ || startCommandsRun_ || !playing_)
            return;
        startCommandsRun_ = true;
        const ComPtr<CMoviePlayer> keepAlive(this);  // a command may make the host let go of the player
        for (const movie::FsCommand& c : movie_->startCommands)
            events_.Fire(kDispidFSCommand, {Utf8ToWide(c.command), Utf8ToWide(c.argument)});
    }

    HRESULT ActivateWindowless();
    void Invalidate()
    {
        if (inPlaceSite_)
            inPlaceSite_->InvalidateRect(nullptr, FALSE);
    }
    void ReleaseSite()
    {
        inPlaceSite_.Reset();
        clientSite_.Reset();
    }
    std::optional<movie::StageTransform> Placement(const RECT& area) const
    {
        if (!movie_)
            return std::nullopt;
        return movie::StageTransform::ShowAll(ToRect(area), movie_->stageWidth, movie_->stageHeight);
    }
    void Perform(const movie::Action& action);

    GdiplusSession gdiplus_;
    LONG refs_ = 0;
    ComPtr<IOleClientSite> clientSite_;
    ComPtr<IOleInPlaceSiteWindowless> inPlaceSite_;
    RECT position_{};
    EventConnectionPoint events_{static_cast<IOleObject*>(this), DIID__IShockwaveFlashEvents};
    std::optional<movie::Movie> movie_;
    std::unique_ptr<Sprite> picture_;
    std::vector<std::unique_ptr<Sprite>> looks_;  // up, over per button
    std::optional<movie::ButtonTracker> tracker_;
    StartCommandPump pump_{*this};
    bool playing_ = false;
    bool startCommandsRun_ = false;
    bool transparent_ = false;
    long background_ = 0;
};

HRESULT CMoviePlayer::ActivateWindowless()
{
    if (inPlaceSite_)
        return S_OK;
    if (!clientSite_)
        return E_UNEXPECTED;
    ComPtr<IOleInPlaceSiteWindowless> site;
    const HRESULT found =
        clientSite_->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(site.GetAddressOf()));
    if (FAILED(found) || !site)
        return E_NOINTERFACE;
    if (site->CanWindowlessActivate() != S_OK || site->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    BOOL noRedraw = FALSE;
    site->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS);
    {
        // The host hands its frame out without a reference of ours to drop.
        IOleInPlaceFrame* frame = nullptr;
        ComPtr<IOleInPlaceUIWindow> doc;
        RECT pos{}, clip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof info;
        if (SUCCEEDED(site->GetWindowContext(&frame, doc.GetAddressOf(), &pos, &clip, &info)))
            position_ = pos;
    }
    inPlaceSite_.Swap(site);
    Invalidate();
    return S_OK;
}

STDMETHODIMP CMoviePlayer::Load(LPSTREAM stream)
{
    return ComBoundary([&] {
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
    });
}

STDMETHODIMP CMoviePlayer::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    return ComBoundary([&] {
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
    });
}

STDMETHODIMP CMoviePlayer::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ComBoundary([&] {
        if (!tracker_ || !movie_)
            return S_FALSE;
        const std::optional<movie::StageTransform> stage = Placement(position_);
        if (!stage)
            return S_FALSE;
        const POINT device = msg::PointFromLParam(lParam);
        const Point at = stage->ToStage(device.x, device.y);
        movie::PointerOutcome outcome;
        bool consumed = false;
        switch (message) {
        case WM_MOUSEMOVE:
            outcome = tracker_->MouseMove(at.x, at.y, (wParam & MK_LBUTTON) != 0);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // a quick second click is a press like the first
            consumed = tracker_->HitTest(at.x, at.y).has_value();
            outcome = tracker_->LeftDown(at.x, at.y);
            break;
        case WM_LBUTTONUP:
            consumed = tracker_->HitTest(at.x, at.y).has_value();
            outcome = tracker_->LeftUp(at.x, at.y);
            break;
        case WM_MOUSELEAVE:
            outcome = tracker_->MouseLeave();
            break;
        default:
            return S_FALSE;  // keys, wheel, cursor: the window's own
        }
        {
            const ComPtr<CMoviePlayer> keepAlive(this);  // an action may make the host let go of the player
            if (outcome.NeedsRedraw())
                Invalidate();
            if (outcome.clicked && *outcome.clicked < movie_->buttons.size())
                Perform(movie_->buttons[*outcome.clicked].action);
        }
        // The player may be gone: only locals from here on.
        if (!consumed)
            return S_FALSE;
        if (result)
            *result = 0;
        return S_OK;
    });
}

void CMoviePlayer::Perform(const movie::Action& action)
{
    if (const auto* command = std::get_if<movie::FsCommand>(&action)) {
        events_.Fire(kDispidFSCommand, {Utf8ToWide(command->command), Utf8ToWide(command->argument)});
    } else if (const auto* link = std::get_if<movie::OpenUrl>(&action)) {
        // A page for a new window goes to the player's default browser.
        OpenInDefaultBrowserW(Utf8ToWide(link->url));
    }
}

}  // namespace

HRESULT CreateMoviePlayer(REFIID iid, void** ppv)
{
    const ComPtr<CMoviePlayer> player(new CMoviePlayer);
    return player->QueryInterface(iid, ppv);
}
