#include "platform/SettingsStore.h"

#include <windows.h>

#include <vector>

namespace {

// The platform's private-profile calls; they serialise themselves.
class Win32ProfileStore final : public ISettingsStore {
public:
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue, size_t bufferSize,
                           const std::string& path) override
    {
        if (bufferSize == 0)
            return std::string();
        std::vector<char> buffer(bufferSize, '\0');
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                           buffer.data(), static_cast<DWORD>(bufferSize), path.c_str());
        return std::string(buffer.data(), n);
    }

    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override
    {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
    }
};

}  // namespace

ISettingsStore& DefaultSettingsStore()
{
    // Never destroyed: an update pass may still read it while the process exits.
    static Win32ProfileStore* store = new Win32ProfileStore;
    return *store;
}
