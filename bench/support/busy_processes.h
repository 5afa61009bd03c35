// Child processes that keep one core each busy, for benchmarks of work on a busy
// machine: they spin until the owning object ends, and each ends by itself after five
// minutes at the latest. On Windows a child is this program started again with the
// argument "--busy" (the program's main must call busy_child_main for it); elsewhere a
// fork of it.
#pragma once

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace bench_support {

[[noreturn]] inline void spin_then_exit()
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    volatile double sink = 1.0;
    while (std::chrono::steady_clock::now() < end)
        for (int i = 0; i < 100000; ++i)
            sink = std::sqrt(sink + 1.0);
#ifdef _WIN32
    ExitProcess(0);
#else
    _exit(0);  // a fork must not run the parent's exit handlers
#endif
}

// Call first in main: a child started by BusyProcesses spins and never returns.
inline void busy_child_main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--busy") == 0)
        spin_then_exit();
}

class BusyProcesses {
public:
    explicit BusyProcesses(int count)
    {
        for (int i = 0; i < count; ++i)
            start_one();
    }
    ~BusyProcesses()
    {
#ifdef _WIN32
        for (HANDLE h : children_) {
            TerminateProcess(h, 0);
            WaitForSingleObject(h, INFINITE);
            CloseHandle(h);
        }
#else
        for (pid_t pid : children_)
            kill(pid, SIGKILL);
        for (pid_t pid : children_)
            waitpid(pid, nullptr, 0);
#endif
    }
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;

private:
#ifdef _WIN32
    void start_one()
    {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(path) + L"\" --busy";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            children_.push_back(info.hProcess);
        }
    }
    std::vector<HANDLE> children_;
#else
    void start_one()
    {
        const pid_t pid = fork();
        if (pid == 0)
            spin_then_exit();
        if (pid > 0)
            children_.push_back(pid);
    }
    std::vector<pid_t> children_;
#endif
};

}  // namespace bench_support
