#pragma once
// The process's resident memory in kB, as the kernel counts it; -1 where it cannot be read.
#include "ProcStatus.h"

inline long ResidentKilobytes() {
    return ProcStatusField("VmRSS:");
}
