#pragma once
#include "platform/SettingsStore.h"

#include <mutex>

// Private-profile semantics on plain files, for systems without the calls.
// Line endings are CR LF on write; reads accept LF as well. All calls of all
// instances are serialised, as the platform serialises its profile calls.
class PortableProfileStore final : public ISettingsStore {
public:
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue, size_t bufferSize,
                           const std::string& path) override;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value, const std::string& path) override;
};
