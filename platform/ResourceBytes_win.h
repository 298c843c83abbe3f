#pragma once
// A resource's bytes as the module maps them (they live as long as the module).
#include <windows.h>

#include <cstdint>
#include <span>

// Empty when the module has no such resource.
inline std::span<const uint8_t> ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    HRSRC info = FindResourceW(module, name, type);
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return {};
    return {static_cast<const uint8_t*>(bytes), SizeofResource(module, info)};
}
