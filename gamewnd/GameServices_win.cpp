#include "gamewnd/GameServices_win.h"

#include <mshtml.h>
#include <psapi.h>
// psapi.h renames the call to its K32 form; the member keeps its own name.
#undef EmptyWorkingSet
#undef GetProcessMemoryInfo
#include <wininet.h>

#include "platform/Com_win.h"

std::optional<watchdog::MemoryCounters> Win32ProcessMemory::QueryCounters()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return std::nullopt;
    return watchdog::MemoryCounters{counters.WorkingSetSize, counters.PagefileUsage};
}

void Win32ProcessMemory::EmptyWorkingSet() { K32EmptyWorkingSet(GetCurrentProcess()); }

namespace {

uint32_t LastErrorAfter(BOOL ok) { return ok ? 0 : static_cast<uint32_t>(GetLastError()); }

}  // namespace

urlcache::FindStart WinInetUrlCache::FindFirstGroup(urlcache::GroupId& id)
{
    SetLastError(0);
    GROUPID group = 0;
    HANDLE find = FindFirstUrlCacheGroup(0, CACHEGROUP_SEARCH_ALL, nullptr, 0, &group, nullptr);
    const uint32_t error = static_cast<uint32_t>(GetLastError());
    id = group;
    return urlcache::FindStart{reinterpret_cast<urlcache::FindHandle>(find), error};
}

urlcache::CallResult WinInetUrlCache::FindNextGroup(urlcache::FindHandle find, urlcache::GroupId& id)
{
    SetLastError(0);
    GROUPID group = id;
    const BOOL ok = FindNextUrlCacheGroup(reinterpret_cast<HANDLE>(find), &group, nullptr);
    id = group;
    return urlcache::CallResult{ok != FALSE, LastErrorAfter(ok)};
}

urlcache::CallResult WinInetUrlCache::DeleteGroup(urlcache::GroupId id)
{
    SetLastError(0);
    const BOOL ok = DeleteUrlCacheGroup(id, CACHEGROUP_FLAG_FLUSHURL_ONDELETE, nullptr);
    return urlcache::CallResult{ok != FALSE, LastErrorAfter(ok)};
}

urlcache::FindStart WinInetUrlCache::FindFirstEntry(std::byte* buffer, uint32_t& size)
{
    SetLastError(0);
    DWORD bytes = size;
    HANDLE find = FindFirstUrlCacheEntryA(nullptr, reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer), &bytes);
    const uint32_t error = static_cast<uint32_t>(GetLastError());
    size = bytes;
    return urlcache::FindStart{reinterpret_cast<urlcache::FindHandle>(find), error};
}

urlcache::CallResult WinInetUrlCache::FindNextEntry(urlcache::FindHandle find, std::byte* buffer, uint32_t& size)
{
    SetLastError(0);
    DWORD bytes = size;
    const BOOL ok = FindNextUrlCacheEntryA(reinterpret_cast<HANDLE>(find),
                                           reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer), &bytes);
    size = bytes;
    return urlcache::CallResult{ok != FALSE, LastErrorAfter(ok)};
}

urlcache::CallResult WinInetUrlCache::DeleteEntry(std::span<const std::byte> entry)
{
    if (entry.size() < sizeof(INTERNET_CACHE_ENTRY_INFOA))
        return urlcache::CallResult{false, ERROR_INVALID_PARAMETER};
    const auto* info = reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOA*>(entry.data());
    if (!info->lpszSourceUrlName)
        return urlcache::CallResult{false, ERROR_INVALID_PARAMETER};
    SetLastError(0);
    const BOOL ok = DeleteUrlCacheEntryA(info->lpszSourceUrlName);
    return urlcache::CallResult{ok != FALSE, LastErrorAfter(ok)};
}

void WinInetUrlCache::CloseFind(urlcache::FindHandle find) { FindCloseUrlCache(reinterpret_cast<HANDLE>(find)); }

ErrorHandler& ErrorHandler::Instance()
{
    static ErrorHandler* handler = new ErrorHandler;  // pages may hold it to the end
    return *handler;
}

STDMETHODIMP ErrorHandler::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch))
        return E_NOINTERFACE;
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP ErrorHandler::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*)
{
    if (result) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
    }
    return S_OK;
}

void InstallErrorHandler(IDispatch* document)
{
    if (!document)
        return;
    ComPtr<IHTMLDocument2> html;
    if (FAILED(document->QueryInterface(IID_PPV_ARGS(&html))) || !html)
        return;
    ComPtr<IHTMLWindow2> window;
    if (FAILED(html->get_parentWindow(&window)) || !window)
        return;
    VARIANT handler;
    VariantInit(&handler);
    handler.vt = VT_DISPATCH;
    handler.pdispVal = &ErrorHandler::Instance();
    window->put_onerror(handler);
}
