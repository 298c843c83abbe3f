#pragma once
// Bytes copied into a stream of their own memory, for the decoders that read
// a picture from a stream (and may read it again later).
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <cstring>
#include <span>

#include "platform/Com_win.h"
#include "platform/Handles_win.h"

// Nothing when memory runs out. The stream frees its memory with its last
// reference.
inline ComPtr<IStream> StreamOnCopy(std::span<const uint8_t> bytes)
{
    ScopedGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!memory)
        return nullptr;
    void* p = GlobalLock(memory.Get());
    if (!p)
        return nullptr;
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(memory.Get());
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory.Get(), TRUE, stream.GetAddressOf())))
        return nullptr;
    memory.Release();
    return stream;
}
