#include "flashhost/FlashDlgBase_win.h"

#include "platform/Com_win.h"
#include "platform/ResourceBytes_win.h"
#include "platform/Text_win.h"
#include "resources/ResourceIds.h"

namespace {

// A BSTR argument of an event, or nothing when the slot holds something else.
bool BstrArgument(const DISPPARAMS* params, UINT index, std::wstring* out)
{
    if (!params || !params->rgvarg || index >= params->cArgs || params->rgvarg[index].vt != VT_BSTR)
        return false;
    BSTR text = params->rgvarg[index].bstrVal;
    *out = text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    return true;
}

}  // namespace

void* CFlashDlgBase::QueryExtraInterface(REFIID iid)
{
    if (IsEqualIID(iid, DIID__IShockwaveFlashEvents))
        return static_cast<_IShockwaveFlashEvents*>(this);
    return nullptr;
}

BOOL CFlashDlgBase::ConfigureControl()
{
    // As in Create: a pointer a failed call left behind is dropped, not released.
    if (FAILED(pControl->QueryInterface(IID_PPV_ARGS(&pConnectionPointContainer)))) {
        pConnectionPointContainer.Detach();
        return FALSE;
    }
    if (FAILED(pConnectionPointContainer->FindConnectionPoint(DIID__IShockwaveFlashEvents, &pConnectionPoint))) {
        pConnectionPoint.Detach();
        return FALSE;
    }
    if (FAILED(pConnectionPoint->Advise(static_cast<_IShockwaveFlashEvents*>(this), &dwAdviseCookie))) {
        dwAdviseCookie = 0;
        return FALSE;
    }
    if (bLayered) {
        ScopedBstr mode(L"transparent");
        pControl->put_WMode(mode.Get());
    }
    ScopedBstr scale(L"showAll");
    pControl->put_Scale(scale.Get());
    pControl->put_BackgroundColor(0);
    pControl->put_EmbedMovie(VARIANT_FALSE);
    return TRUE;
}

BOOL CFlashDlgBase::LoadContent()
{
    // 1, not VARIANT_TRUE (-1): the value the control has always been given here.
    pControl->put_EmbedMovie(static_cast<VARIANT_BOOL>(1));
    std::span<const uint8_t> movie = ResourceBytes(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MOVIE), L"swf");
    if (!movie.empty()) {
        ComPtr<IStream> stream;
        if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
            return FALSE;
        const DWORD n = static_cast<DWORD>(movie.size());
        const DWORD header[2] = {kEmbeddedMovieMagic, n};
        ULARGE_INTEGER size;
        size.QuadPart = static_cast<ULONGLONG>(n) + sizeof header;
        LARGE_INTEGER zero{};
        if (FAILED(stream->SetSize(size)) || FAILED(stream->Write(header, sizeof header, nullptr)) ||
            FAILED(stream->Write(movie.data(), n, nullptr)) || FAILED(stream->Seek(zero, STREAM_SEEK_SET, nullptr)))
            return FALSE;
        ComPtr<IPersistStreamInit> persist;
        HRESULT hr = pControl->QueryInterface(IID_PPV_ARGS(&persist));
        if (SUCCEEDED(hr))
            hr = persist->Load(stream.Get());
        if (FAILED(hr))
            return FALSE;
    }
    pControl->Play();
    return TRUE;
}

HRESULT CFlashDlgBase::DispatchEvent(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*)
{
    return ComBoundary([&] {
        // Arguments arrive last first; a call of the wrong shape is ignored.
        if (id == kDispidFSCommand) {
            std::wstring command, args;
            if (params && params->cArgs == 2 && BstrArgument(params, 1, &command) && BstrArgument(params, 0, &args))
                OnFSCommand(command, args);
        } else if (id == kDispidFlashCall) {
            std::wstring request;
            if (params && params->cArgs == 1 && BstrArgument(params, 0, &request))
                OnFlashCall(request);
        }
        return S_OK;
    });
}

HRESULT CFlashDlgBase::OnFSCommand(const std::wstring&, const std::wstring& args)
{
    // Through the ANSI code page and back on purpose: the text shown is what
    // a narrow command handler would see, unmappable characters as '?'.
    ::MessageBoxW(nullptr, AnsiToWide(WideToAnsi(args)).c_str(), nullptr, MB_OK);
    return S_OK;
}
