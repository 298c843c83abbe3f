#include "flashhost/FlashDlgBase_win.h"

#include "platform/Com_win.h"
#include "platform/Text_win.h"
#include "resources/ResourceIds.h"

namespace {

// A BSTR argument of an event, or nothing when the slot holds something else.
bool BstrArgument(const DISPPARAMS* params, UINT index, std::wstring* out)
{
    if (!params || !params->rgvarg || index >= params->cArgs || params->rgvarg[index].vt != VT_BSTR)
        return false;
    BSTR text = params->rgvarg[index].bstrVal;
    *out = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
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
    if (FAILED(pControl->QueryInterface(IID_IConnectionPointContainer,
                                        reinterpret_cast<void**>(&pConnectionPointContainer)))) {
        pConnectionPointContainer = nullptr;
        return FALSE;
    }
    if (FAILED(pConnectionPointContainer->FindConnectionPoint(DIID__IShockwaveFlashEvents, &pConnectionPoint))) {
        pConnectionPoint = nullptr;
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
    pControl->put_EmbedMovie(static_cast<VARIANT_BOOL>(1));
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(IDR_MOVIE), L"swf");
    if (info) {
        DWORD n = SizeofResource(module, info);
        HGLOBAL loaded = LoadResource(module, info);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (!bytes)
            return FALSE;
        IStream* stream = nullptr;
        if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
            return FALSE;
        const DWORD header[2] = {kEmbeddedMovieMagic, n};
        ULARGE_INTEGER size;
        size.QuadPart = static_cast<ULONGLONG>(n) + sizeof header;
        LARGE_INTEGER zero{};
        if (FAILED(stream->SetSize(size)) || FAILED(stream->Write(header, sizeof header, nullptr)) ||
            FAILED(stream->Write(bytes, n, nullptr)) || FAILED(stream->Seek(zero, STREAM_SEEK_SET, nullptr))) {
            stream->Release();
            return FALSE;
        }
        IPersistStreamInit* persist = nullptr;
        HRESULT hr = pControl->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
        if (SUCCEEDED(hr)) {
            hr = persist->Load(stream);
            persist->Release();
        }
        stream->Release();
        if (FAILED(hr))
            return FALSE;
    }
    pControl->Play();
    return TRUE;
}

HRESULT CFlashDlgBase::DispatchEvent(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*)
{
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
}

HRESULT CFlashDlgBase::OnFSCommand(const std::wstring&, const std::wstring& args)
{
    MessageBoxW(nullptr, AnsiToWide(WideToAnsi(args)).c_str(), nullptr, MB_OK);
    return S_OK;
}
