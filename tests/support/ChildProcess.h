#pragma once
// Processes of the test's own making: one that keeps running until stopped,
// and the id of one that has already ended.
#include <cstdint>
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

class ChildProcess {
public:
    // Starts a process that idles for a minute unless stopped first.
    ChildProcess() { Start(true); }
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    uint32_t Id() const { return id_; }
    void Stop()
    {
#ifdef _WIN32
        if (process_) {
            TerminateProcess(process_, 0);
            WaitForSingleObject(process_, 5000);
            CloseHandle(process_);
            process_ = nullptr;
        }
#else
        if (id_ && running_) {
            kill(static_cast<pid_t>(id_), SIGKILL);
            waitpid(static_cast<pid_t>(id_), nullptr, 0);
            running_ = false;
        }
#endif
    }

    // The id of a process that started and ended (ids are reused only much later).
    static uint32_t EndedProcessId()
    {
        ChildProcess child(false);
        return child.id_;
    }

private:
    explicit ChildProcess(bool idle) { Start(idle); }
    void Start(bool idle)
    {
#ifdef _WIN32
        wchar_t idleLine[] = L"cmd.exe /c ping -n 60 127.0.0.1 >nul";
        wchar_t endLine[] = L"cmd.exe /c exit 0";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, idle ? idleLine : endLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                            nullptr, &si, &pi))
            return;
        CloseHandle(pi.hThread);
        id_ = pi.dwProcessId;
        if (idle) {
            process_ = pi.hProcess;
        } else {
            // Ended for certain, however slowly it started.
            if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
                TerminateProcess(pi.hProcess, 0);
                WaitForSingleObject(pi.hProcess, INFINITE);
            }
            CloseHandle(pi.hProcess);
        }
#else
        pid_t pid = fork();
        if (pid == 0) {
            if (idle)
                sleep(60);
            _exit(0);
        }
        if (pid < 0)
            return;
        id_ = static_cast<uint32_t>(pid);
        running_ = idle;
        if (!idle)
            waitpid(pid, nullptr, 0);
#endif
    }

    uint32_t id_ = 0;
#ifdef _WIN32
    HANDLE process_ = nullptr;
#else
    bool running_ = false;
#endif
};
