#pragma once
#include <cstddef>
#include <memory>
#include <string>

// Access to Windows profile (INI) files with the private-profile semantics:
// section and key names compare without regard to case, a read copies at
// most bufferSize - 1 characters of the value, and a missing file, section or
// key yields the default. The Windows build uses the real calls; the portable
// build has its own implementation of the same rules.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;

    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue, size_t bufferSize,
                                   const std::string& path) = 0;
    // Creates the file when it does not exist. False when the write was refused.
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& path) = 0;
};

// The store of this build: the platform's calls on Windows, the portable one elsewhere.
ISettingsStore& DefaultSettingsStore();

// The buffer every read of the settings file uses (31 characters seen).
constexpr size_t kSettingsValueBuffer = 32;
