#pragma once
// The shell's handler of http URLs replaced for one test, and the Windows
// form of a Unix path (Wine maps the Unix root to drive Z:).
#include <windows.h>

#include <string>

inline std::wstring FromUnixPath(const char* unixPath)
{
    std::string narrow = unixPath;
    std::wstring path = L"Z:" + std::wstring(narrow.begin(), narrow.end());
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

class HttpHandlerOverride {
public:
    explicit HttpHandlerOverride(const std::wstring& command)
    {
        wchar_t value[2048] = {};
        DWORD size = sizeof value;
        had_ = RegGetValueW(root_, key_.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS;
        if (had_)
            old_ = value;
        ok_ = RegSetKeyValueW(root_, key_.c_str(), nullptr, REG_SZ, command.c_str(),
                              static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~HttpHandlerOverride()
    {
        if (had_)
            RegSetKeyValueW(root_, key_.c_str(), nullptr, REG_SZ, old_.c_str(),
                            static_cast<DWORD>((old_.size() + 1) * sizeof(wchar_t)));
        else
            RegDeleteKeyValueW(root_, key_.c_str(), nullptr);
    }
    HttpHandlerOverride(const HttpHandlerOverride&) = delete;
    HttpHandlerOverride& operator=(const HttpHandlerOverride&) = delete;
    bool Ok() const { return ok_; }

private:
    // The merged view of the classes: Wine's shell reads only this one and
    // does not look at the user's own classes.
    const HKEY root_ = HKEY_CLASSES_ROOT;
    const std::wstring key_ = L"http\\shell\\open\\command";
    bool had_ = false;
    bool ok_ = false;
    std::wstring old_;
};
