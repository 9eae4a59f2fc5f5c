#pragma once
// Events a second over the last second: what a status line shows of a running loop. A rate
// counted from whenever the clock last started would mix in the idle time before the loop and
// show a fraction of what flows. Standard library only.
#include <cstdint>
#include <deque>
#include <utility>

namespace core {

class RecentRate {
public:
    // The running count at `ms` on a steady clock; looks at most a second back.
    void Add(std::int64_t ms, std::uint64_t count) {
        samples.emplace_back(ms, count);
        // Keep the newest sample at least a second old, as the span's start.
        while (samples.size() > 2 && samples[1].first <= ms - kWindowMs)
            samples.pop_front();
    }
    // Events a second between the oldest sample kept and the newest; 0 before two samples.
    double PerSecond() const {
        if (samples.size() < 2) return 0;
        const auto& [firstMs, firstCount] = samples.front();
        const auto& [lastMs, lastCount] = samples.back();
        if (lastMs <= firstMs || lastCount < firstCount) return 0;
        return double(lastCount - firstCount) * 1000.0 / double(lastMs - firstMs);
    }
    // A new run counts from nothing.
    void Clear() { samples.clear(); }

private:
    static constexpr std::int64_t kWindowMs = 1000;
    std::deque<std::pair<std::int64_t, std::uint64_t>> samples;
};

} // namespace core
