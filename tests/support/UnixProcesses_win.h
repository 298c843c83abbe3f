#pragma once
// Unix processes seen from a Wine program, through Wine's view of the Unix
// root: for tests that check what a program left running.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// Unix processes whose command line mentions the text.
inline int UnixProcessesMentioning(const std::string& text)
{
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("Z:\\proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name[0] < '0' || name[0] > '9')
            continue;
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        const std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        count += cmdline.find(text) != std::string::npos;
    }
    return count;
}
