#pragma once
// What every benchmark counts with: a number from /proc/self/status as the kernel keeps it, and
// the median of the rounds.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

// The number after `key` (such as "VmRSS:"); -1 where it cannot be read.
inline long ProcStatusField(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == key) {
            long value = 0;
            status >> value;
            return value;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}
