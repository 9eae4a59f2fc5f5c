#pragma once
// Faults the simulator can inject into its replies, switched at run time from any thread.
#include <cstdint>
#include <mutex>
#include <vector>

namespace sim {

constexpr int kAllOrders = -1;

// One fault: whether it is on, its value, and the one order it is limited to (or all).
struct Fault {
    bool on = false;
    int value = 0;
    int order = kAllOrders;

    bool AppliesTo(int requestOrder) const {
        return on && (order == kAllOrders || order == requestOrder);
    }
};

struct FaultSettings {
    Fault silence;           // no reply at all
    Fault delayMs;           // value: milliseconds to wait before replying
    Fault badHeadCheck;      // header check byte wrong
    Fault badDataCheck;      // data check byte in the header wrong (header itself intact)
    Fault errorReply;        // value: status 1 or 2 of an error reply (reply code 0)
    Fault cutAfterBytes;     // value: only the first N bytes of the reply are sent
    Fault pieces;            // value: the reply goes out in N pieces ...
    int piecePauseMs = 20;   // ... with this pause between them
    Fault oddLength;         // one extra data byte, announced and covered by the check byte
    Fault oversizeLength;    // value: data length announced in the header (e.g. 3000)
    Fault dataBytes;         // value: only the first N data bytes, in a frame passing its checks
    Fault closeAfterReplies; // value: the connection is closed after N replies
    Fault baudRate;          // value: bytes paced at this rate, 10 bits per byte
    Fault plausibilityCount; // value: status word of replies to orders 1 and 4
    Fault hold; // the reply, and every reply behind it, waits until released (ReleaseHeldReply)
};

// How one reply goes out: after `delayMs`, the pieces one after the other with
// `pauseMs` between them; `bytesPerSecond` > 0 paces every byte.
struct ReplyPlan {
    bool silent = false;
    bool held = false; // waits for a release before its delay begins
    int delayMs = 0;
    int pauseMs = 0;
    int bytesPerSecond = 0;
    std::vector<std::vector<std::uint8_t>> pieces;
};

// Applies the faults that concern `order` to a well-formed reply.
ReplyPlan ShapeReply(const std::vector<std::uint8_t>& reply, int order,
                     const FaultSettings& faults);

// The fault settings shared between the thread that serves and the thread that sets them.
class Faults {
public:
    void Set(const FaultSettings& settings);
    FaultSettings Get() const;
    void Clear() { Set(FaultSettings{}); }

private:
    mutable std::mutex mutex;
    FaultSettings settings;
};

} // namespace sim
