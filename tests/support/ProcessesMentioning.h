#pragma once
// Processes seen through a /proc tree (the machine's, or Wine's view of it
// from a Windows program): for tests that check what was left running.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// Processes whose command line mentions the text, but for the one named
// `except` (a process id, e.g. the test's own).
inline int ProcessesMentioning(const std::filesystem::path& proc, const std::string& text,
                               const std::string& except = {})
{
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(proc, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name[0] < '0' || name[0] > '9' || name == except)
            continue;
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        const std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        count += cmdline.find(text) != std::string::npos;
    }
    return count;
}
