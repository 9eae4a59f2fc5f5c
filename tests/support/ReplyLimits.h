#pragma once
// The reply limit of the program's link in a test: the real one is waited out only where it is
// the point (the link tests); a time-out a test needs, not its moment, comes sooner.
#include "link/SensorLink.h"
#include "support/WhenReady.h"

namespace support {

// Only for a command whose one exchange is the one that must time out: a reply that has to come
// is never held to it.
inline void ShortReplyLimit(comm::SensorLink& link) {
    link.SetTimeLimits(0.3, comm::SensorLink::kTcpConnectTimeoutMs);
}

// For a wait only the event under test may end: as long as the event limit, so a busy machine
// cannot end it first.
inline void LongReplyLimit(comm::SensorLink& link) {
    link.SetTimeLimits(kEventLimitMs / 1000.0, kEventLimitMs);
}

// The link's own limits again, for the exchanges that must succeed.
inline void DefaultReplyLimit(comm::SensorLink& link) {
    link.SetTimeLimits(comm::SensorLink::kReplyLimitSeconds,
                       comm::SensorLink::kTcpConnectTimeoutMs);
}

} // namespace support
