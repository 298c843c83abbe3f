#pragma once
// The URL recorder program standing in for the player's default browser for
// one test: copied into a folder of its own and registered as the shell's
// http handler, it writes each URL it is started with to urls.txt there.
#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/HttpHandlerOverride_win.h"
#include "tests/support/TempDir.h"
#include "tests/support/Win32TestSupport_win.h"

class RecordingDefaultBrowser {
public:
    // arguments: what the registered command adds after the program.
    RecordingDefaultBrowser(const char* recorderUnixPath, const std::wstring& arguments)
    {
        const std::string folder = dir_.Path();
        const std::wstring recorder = std::wstring(folder.begin(), folder.end()) + L"\\url_recorder.exe";
        if (CopyFileW(FromUnixPath(recorderUnixPath).c_str(), recorder.c_str(), FALSE))
            handler_ = std::make_unique<HttpHandlerOverride>(L"\"" + recorder + L"\" " + arguments);
    }
    bool Ok() const { return handler_ && handler_->Ok(); }

    // The URLs it was started with, once there is one (empty on a time-out).
    std::vector<std::string> WaitForUrls(int timeoutMs)
    {
        std::vector<std::string> lines;
        PumpUntil(
            [&] {
                std::ifstream in(dir_.File("urls.txt"));
                lines.clear();
                for (std::string line; std::getline(in, line);)
                    lines.push_back(line);
                return !lines.empty();
            },
            timeoutMs);
        return lines;
    }

private:
    TempDir dir_;
    std::unique_ptr<HttpHandlerOverride> handler_;
};
