// Figures for the recorded-value teach panel: what one more point costs (the point into the
// buffer, a dot in each of the three clouds, the cursors onto it, the panel painted) when the
// clouds hold about 1000 points and when they hold about 60000, and how far the process grows
// while 60000 points are recorded. Prints figures; asserts nothing.
#include "ResidentMemory.h"
#include "core/AppState.h"
#include "protocol/MeasurementFrame.h"
#include "support/ScriptedOperator.h"
#include "teach/RecordedValuePanel.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace {

// A colour passing the sensor with noise and a slow drift, repeatable from run to run.
class Cloud {
public:
    protocol::MeasurementFrame Next() {
        const double drift = 40 * std::sin(double(count++) / 3000);
        protocol::MeasurementFrame frame;
        frame.w[protocol::MeasurementFrame::kX] = Word(3100 + drift + 25 * Noise());
        frame.w[protocol::MeasurementFrame::kY] = Word(2900 - drift + 25 * Noise());
        frame.w[protocol::MeasurementFrame::kInt] = Word(1500 + 60 * Noise());
        return frame;
    }

private:
    static std::uint16_t Word(double v) { return std::uint16_t(std::lround(v)); }
    // Sum of four uniform values: roughly normal, in -2..2.
    double Noise() {
        double sum = 0;
        for (int i = 0; i < 4; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            sum += double(seed >> 11) / double(1ULL << 53) - 0.5;
        }
        return sum;
    }
    std::uint64_t seed = 12345;
    int count = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    auto state = std::make_unique<core::AppState>();
    ScriptedOperator dialogs;
    teach::RecordedValuePanel panel(state->teach, dialogs);
    panel.resize(1000, 700);
    panel.show();
    app.processEvents();

    const long before = ResidentKilobytes();
    Cloud cloud;
    QElapsedTimer clock;
    double atThousand = 0;
    double atSixtyThousand = 0;
    constexpr int kBlock = 1000;
    // Each point as in a recording: plotted, then the panel painted before the next one.
    clock.start();
    for (int k = 0; k < core::kTeachPointCapacity; ++k) {
        if (k == kBlock || k == core::kTeachPointCapacity - kBlock) clock.restart();
        panel.PlotTeachPoint(cloud.Next());
        panel.repaint();
        if (k == 2 * kBlock - 1) atThousand = double(clock.nsecsElapsed()) / kBlock / 1000;
        if (k == core::kTeachPointCapacity - 1)
            atSixtyThousand = double(clock.nsecsElapsed()) / kBlock / 1000;
    }
    const long after = ResidentKilobytes();
    const double bufferKb = double(core::kTeachPointCapacity * sizeof(core::TeachPoint)) / 1024;

    std::printf("recorded-value teach, one point plotted and the panel painted (1000 x 700):\n");
    std::printf("  clouds of 1000..2000 points:   %8.1f us per point\n", atThousand);
    std::printf("  clouds of 59000..60000 points: %8.1f us per point\n", atSixtyThousand);
    std::printf("  ratio 60000 / 1000:            %8.2f\n", atSixtyThousand / atThousand);
    std::printf("  resident memory: %ld kB before, %ld kB after 60000 points: grew %ld kB "
                "(the fixed buffer is %.0f kB, allocated with the state)\n",
                before, after, after - before, bufferKb);
    std::printf("  recorded: %d\n", int(state->teach.recordCount));
    return 0;
}
