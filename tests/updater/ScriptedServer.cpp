#include "tests/updater/ScriptedServer.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "platform/socket/Socket.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

using namespace std::chrono_literals;

bool FileExists(const std::string& path)
{
    std::ifstream f(path);
    return f.good();
}

int Pid()
{
#ifdef _WIN32
    return static_cast<int>(GetCurrentProcessId());
#else
    return static_cast<int>(getpid());
#endif
}

}  // namespace

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string PatternBytes(size_t n, size_t offset)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((offset + i) % 251);
    return s;
}

std::string ReadFileOrMissing(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return "<missing>";
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteWholeFile(const std::string& path, const std::string& content)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << content;
}

ScriptedServer::ScriptedServer(const std::string& script)
{
    for (int attempt = 0; attempt < 20 && !running_; ++attempt)
        running_ = Start(script, attempt);
}

ScriptedServer::~ScriptedServer() { Stop(); }

std::string ScriptedServer::Request(int n) const
{
    std::string r = ReadFileOrMissing(dir_ + "/request." + std::to_string(n));
    return r == "<missing>" ? std::string() : r;
}

bool ScriptedServer::Start(const std::string& script, int attempt)
{
    static std::mt19937 random(static_cast<unsigned>(Pid()) * 2654435761u ^
                               static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    // 127.0.0.2 .. 127.0.0.254: the client always connects to port 80.
    host_ = "127.0.0." + std::to_string(2 + random() % 253);
    unixDir_ = "/tmp/morvane-scripted-" + std::to_string(Pid()) + "-" + std::to_string(attempt) + "-" +
               std::to_string(random() % 100000);
    std::string ready = unixDir_ + "/ready";
    // The script goes in a file: it can be long and full of quotes and backslashes.
    std::vector<std::string> args = {"/usr/bin/python3", MORVANE_SCRIPTED_SERVER, "--host", host_, "--script-file",
                                     unixDir_ + "/script.json", "--record", unixDir_ + "/request", "--ready", ready};
#ifdef _WIN32
    // Wine starts Unix programs named by their Z: path.
    dir_ = "Z:" + unixDir_;
    for (char& c : dir_)
        if (c == '/')
            c = '\\';
    CreateDirectoryA(dir_.c_str(), nullptr);
    WriteWholeFile(dir_ + "\\script.json", script);
    std::string commandLine;
    for (const std::string& a : args) {
        std::string quoted = "\"";
        for (char c : a) {
            if (c == '"')
                quoted += "\\\"";
            else
                quoted += c;
        }
        commandLine += quoted + "\" ";
    }
    std::string program = "Z:\\usr\\bin\\python3";
    // Standard handles on NUL: a server holding the test's output pipe open
    // would keep whoever reads it waiting until the server ends.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &si, &pi);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started)
        return false;
    if (pi.hThread)
        CloseHandle(pi.hThread);
    // Wine may hand out no process handle for a Unix program: -1 still marks
    // a server that Stop must end.
    process_ = pi.hProcess ? reinterpret_cast<long long>(pi.hProcess) : -1;
    std::string readyHere = dir_ + "\\ready";
    for (int i = 0; i < 500; ++i) {
        if (FileExists(readyHere))
            return true;
        if (FileExists(readyHere + ".in-use"))
            break;
        std::this_thread::sleep_for(10ms);
    }
    Stop();
    return false;
#else
    dir_ = unixDir_;
    mkdir(dir_.c_str(), 0700);
    WriteWholeFile(dir_ + "/script.json", script);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    process_ = pid;
    for (int i = 0; i < 500; ++i) {
        if (FileExists(ready))
            return true;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            process_ = 0;
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    process_ = 0;
    return false;
#endif
}

void ScriptedServer::Stop()
{
    if (!process_)
        return;
    {
        uint32_t address = 0;
        sock::Socket s(sock::OpenTcp());
        if (s.Valid() && sock::ResolveIPv4(host_.c_str(), &address) && sock::Connect(s.Get(), address, 80))
            sock::Send(s.Get(), "QUIT\r\n\r\n", 8);
    }
#ifdef _WIN32
    // Wine's handle of a Unix process tells nothing about it; the server
    // ends on its own once its ready file is gone. Remove that one first and
    // by name: the directory sweep below does not always manage under Wine,
    // and a server left running holds its address until its lifetime ends.
    DeleteFileA((dir_ + "\\ready").c_str());
    if (process_ > 0)
        CloseHandle(reinterpret_cast<HANDLE>(process_));
#else
    pid_t pid = static_cast<pid_t>(process_);
    bool ended = false;
    for (int i = 0; i < 300 && !ended; ++i) {
        ended = waitpid(pid, nullptr, WNOHANG) == pid;
        if (!ended)
            std::this_thread::sleep_for(10ms);
    }
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
#endif
    process_ = 0;
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}
