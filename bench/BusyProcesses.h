#pragma once
// Processes that keep the cores busy while a benchmark measures beside them, as other programs
// on a busy machine would: each spins until it is killed.
#include <csignal>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace bench {

inline std::vector<pid_t> StartBusyProcesses(int count) {
    std::vector<pid_t> pids;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            volatile unsigned long spin = 0;
            for (;;)
                spin = spin + 1;
        }
        if (pid > 0) pids.push_back(pid);
    }
    return pids;
}

inline void StopProcesses(const std::vector<pid_t>& pids) {
    for (pid_t pid : pids) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

// Busy processes for as long as it lives.
class BusyProcesses {
public:
    explicit BusyProcesses(int count) : pids(StartBusyProcesses(count)) {}
    ~BusyProcesses() { StopProcesses(pids); }
    BusyProcesses(const BusyProcesses&) = delete;
    BusyProcesses& operator=(const BusyProcesses&) = delete;

private:
    std::vector<pid_t> pids;
};

} // namespace bench
