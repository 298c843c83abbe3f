#pragma once
// Inside the player library: how the class factory makes a player, and the
// hidden message window a player brings its start commands back through.
#include <windows.h>

// Makes a player and answers its QueryInterface for iid. Throws
// std::bad_alloc when memory runs out.
HRESULT CreateMoviePlayer(REFIID iid, void** ppv);

// What the pump calls from the message loop.
class StartCommandRunner {
public:
    virtual void RunStartCommands() = 0;

protected:
    ~StartCommandRunner() = default;
};

// One player's message-only window, made on the first Post. Destroying it
// drops a run still queued.
class StartCommandPump {
public:
    explicit StartCommandPump(StartCommandRunner& runner) : runner_(runner) {}
    ~StartCommandPump() { Destroy(); }
    StartCommandPump(const StartCommandPump&) = delete;
    StartCommandPump& operator=(const StartCommandPump&) = delete;

    // Queues one run for the message loop; nothing when the window cannot be made.
    void Post();
    void Destroy();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    StartCommandRunner& runner_;
    HWND hwnd_ = nullptr;
};
