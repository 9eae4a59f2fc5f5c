#pragma once
// The process's resident memory in kB, as the kernel counts it; -1 where it cannot be read.
#include <fstream>
#include <string>

inline long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}
