#pragma once
// COM at the edges: owned pointers, scoped library sessions, and the one
// boundary every COM method and raw window procedure goes through so that no
// exception unwinds into the platform.
#include <windows.h>
#include <ole2.h>
#include <gdiplus.h>
#include <wrl/client.h>

#include <new>
#include <utility>

using Microsoft::WRL::ComPtr;

// Runs a COM method's body: an escaping exception becomes an HRESULT
// (E_OUTOFMEMORY for a failed allocation, E_UNEXPECTED for anything else).
template <class Body>
HRESULT ComBoundary(Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// Runs a window procedure's body: an escaping exception becomes fallback.
template <class Body>
LRESULT WindowProcBoundary(LRESULT fallback, Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return fallback;
    }
}

// OleInitialize for the life of the scope, undone only when it succeeded.
class OleSession {
public:
    OleSession() : hr_(OleInitialize(nullptr)) {}
    ~OleSession()
    {
        if (SUCCEEDED(hr_))
            OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

// GDI+ for the life of the scope.
class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok)
            token_ = 0;
    }
    ~GdiplusSession()
    {
        if (token_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Ok() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

// A BSTR owned by the scope.
class ScopedBstr {
public:
    explicit ScopedBstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
    ~ScopedBstr() { SysFreeString(bstr_); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    BSTR Get() const { return bstr_; }

private:
    BSTR bstr_;
};
