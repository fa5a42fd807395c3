#include "cli/console_interrupts.h"

#ifdef _WIN32
#include <windows.h>

#include <string>

namespace tunekit::cli {
namespace {

// The events are named after the process, so that the handler, which the system calls without
// any state of ours, finds them.
std::wstring eventName(const wchar_t* what)
{
    return L"Local\\tunekit-cli-" + std::to_wstring(GetCurrentProcessId()) + L"-" + what;
}

BOOL WINAPI consoleControl(DWORD type)
{
    HANDLE interrupt = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName(L"interrupt").c_str());
    if (!interrupt)
        return FALSE;
    SetEvent(interrupt);
    CloseHandle(interrupt);
    // The system ends the process when the handler of a closing console (or of a logoff or
    // shutdown) returns: it waits for the run to stop, within the few seconds it is given.
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
        if (HANDLE ended = OpenEventW(SYNCHRONIZE, FALSE, eventName(L"ended").c_str())) {
            WaitForSingleObject(ended, 4500);
            CloseHandle(ended);
        }
    }
    return TRUE;
}

} // namespace

ConsoleInterrupts::ConsoleInterrupts()
{
    interrupt_ = CreateEventW(nullptr, FALSE, FALSE, eventName(L"interrupt").c_str());
    ended_ = CreateEventW(nullptr, TRUE, FALSE, eventName(L"ended").c_str());
    if (interrupt_ && ended_)
        SetConsoleCtrlHandler(consoleControl, TRUE);
}

ConsoleInterrupts::~ConsoleInterrupts()
{
    if (ended_)
        SetEvent(ended_);
    SetConsoleCtrlHandler(consoleControl, FALSE);
    if (interrupt_)
        CloseHandle(static_cast<HANDLE>(interrupt_));
    if (ended_)
        CloseHandle(static_cast<HANDLE>(ended_));
}

} // namespace tunekit::cli
#else
namespace tunekit::cli {

ConsoleInterrupts::ConsoleInterrupts() = default;
ConsoleInterrupts::~ConsoleInterrupts() = default;

} // namespace tunekit::cli
#endif
