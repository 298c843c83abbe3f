#pragma once
// The platform behind the game window's services: the process's memory
// counters, the URL cache, and the script-error handler that every page the
// game window loads gets as its window's onerror.
#include <windows.h>
#include <oaidl.h>

#include "gamewnd/UrlCacheClearing.h"
#include "gamewnd/WhiteScreen.h"

class Win32ProcessMemory final : public watchdog::IProcessMemory {
public:
    std::optional<watchdog::MemoryCounters> QueryCounters() override;
    void EmptyWorkingSet() override;
};

// The platform's URL cache. Each call starts from a cleared last error, so
// that a call which fails without setting one is not read as a stale error.
class WinInetUrlCache final : public urlcache::IUrlCache {
public:
    urlcache::FindStart FindFirstGroup(urlcache::GroupId& id) override;
    urlcache::CallResult FindNextGroup(urlcache::FindHandle find, urlcache::GroupId& id) override;
    urlcache::CallResult DeleteGroup(urlcache::GroupId id) override;
    urlcache::FindStart FindFirstEntry(std::byte* buffer, uint32_t& size) override;
    urlcache::CallResult FindNextEntry(urlcache::FindHandle find, std::byte* buffer, uint32_t& size) override;
    urlcache::CallResult DeleteEntry(std::span<const std::byte> entry) override;
    void CloseFind(urlcache::FindHandle find) override;
};

// Answers every script error as handled, so the page's engine shows no
// error dialog. One object for the process, never freed.
class ErrorHandler final : public IDispatch {
public:
    static ErrorHandler& Instance();

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 0; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override;

private:
    ErrorHandler() = default;
};

// Sets the handler as the onerror of the document's window; nothing when
// there is no document or it is not an HTML document.
void InstallErrorHandler(IDispatch* document);
