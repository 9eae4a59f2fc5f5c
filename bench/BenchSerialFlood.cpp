// Figures for a sensor that sends on its own over a serial line (a pseudo-terminal) while the
// program waits for nothing: the program's resident memory over the flood, and whether the next
// exchange afterwards succeeds. Argument: seconds of flood (default 600). Prints figures;
// asserts nothing.
#include "../tests/link/LinkFixture.h"
#include "ResidentMemory.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    LinkFixture f;
    if (!f.OpenPty()) {
        std::printf("no pseudo-terminal\n");
        return 1;
    }
    // Frames pushed every millisecond: 48 kB a second that nobody asks for.
    f.simulator.SetTriggerPeriodMs(1);
    if (!f.Exchange(30, 1).Ok()) {
        std::printf("trigger sending did not start\n");
        return 1;
    }
    const long start = ResidentKilobytes();
    long most = start;
    long mostBuffered = 0;
    QElapsedTimer clock;
    clock.start();
    std::printf("serial flood of pushed frames (48 kB/s) for %d s while nothing waits:\n", seconds);
    int nextReport = 60;
    while (clock.elapsed() < seconds * 1000LL) {
        QTest::qWait(200);
        most = std::max(most, ResidentKilobytes());
        mostBuffered = std::max(mostBuffered, long(f.link->SerialBufferedBytes()));
        if (clock.elapsed() >= nextReport * 1000LL) {
            std::printf("  %4d s: resident %ld kB\n", nextReport, ResidentKilobytes());
            nextReport += 60;
        }
    }
    const long end = ResidentKilobytes();
    f.simulator.SetTriggerPeriodMs(0);
    QTest::qWait(100);
    const bool next = f.Exchange(8).Ok();
    std::printf("  resident memory: %ld kB at the start, %ld kB at the end, at most %ld kB\n",
                start, end, most);
    std::printf("  serial bytes held at most: %ld (limit %lld)\n", mostBuffered,
                static_cast<long long>(SensorLink::kSerialReadBufferLimit));
    std::printf("  next exchange after the flood: %s\n", next ? "succeeded" : "FAILED");
    return 0;
}
