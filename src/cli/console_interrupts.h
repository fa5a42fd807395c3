#pragma once

// Windows: Ctrl-C, Ctrl-Break and closing the console window reach a program through a console
// control handler, on a thread of the system's. This turns them into an event object the event
// loop can wait on, so that a write stops between two packets as it does on a SIGINT on Linux.
// Free of Qt, so that it is compiled for Windows on any machine. Elsewhere it does nothing.
namespace tunekit::cli {

class ConsoleInterrupts {
public:
    ConsoleInterrupts();
    ~ConsoleInterrupts();
    ConsoleInterrupts(const ConsoleInterrupts&) = delete;
    ConsoleInterrupts& operator=(const ConsoleInterrupts&) = delete;

    // The event set once for each interrupt (a HANDLE; nullptr when there is none).
    void* interruptEvent() const noexcept { return interrupt_; }

private:
    void* interrupt_ = nullptr;
#ifdef _WIN32
    void* ended_ = nullptr; // set when the program is done: a closing console waits for it
#endif
};

} // namespace tunekit::cli
