#pragma once
// The movie control's interfaces as this program uses them: the control
// class, its movie interface (only the members the host calls) and its event
// dispinterface. The process provides the control itself (the built-in
// player), so both sides are compiled from this header.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
inline constexpr CLSID CLSID_ShockwaveFlash = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6C-AE6D-11CF-96B8-444553540000}
inline constexpr IID IID_IShockwaveFlash = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6D-AE6D-11CF-96B8-444553540000}
inline constexpr IID DIID__IShockwaveFlashEvents = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

constexpr DISPID kDispidReadyStateChange = DISPID_READYSTATECHANGE;
constexpr DISPID kDispidProgress = 0x7A6;
constexpr DISPID kDispidFSCommand = 150;
constexpr DISPID kDispidFlashCall = 197;

struct IShockwaveFlash : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_WMode(BSTR mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Scale(BSTR scale) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BackgroundColor(long color) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL embed) = 0;
    virtual HRESULT STDMETHODCALLTYPE Play() = 0;
    virtual HRESULT STDMETHODCALLTYPE StopPlay() = 0;
};

// The event dispinterface is a plain IDispatch with its own id.
using _IShockwaveFlashEvents = IDispatch;

// The in-memory stream the movie reaches the control in: magic, length, bytes.
constexpr DWORD kEmbeddedMovieMagic = 0x55665566;
