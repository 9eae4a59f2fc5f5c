// How long the program lives after its window is closed during each command that loops or
// waits: the program in a child process against the simulator, the window closed inside the
// command. Argument: rounds per case (default 5). Prints the median and the longest; asserts
// nothing.
#include "../tests/app/CloseCases.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace closecases;

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], kChildSwitch) == 0) return RunProgramAndClose(argc, argv);
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::printf("from the close to the end of the process, %d rounds each (median / longest):\n",
                rounds);
    for (const Operation& op : Operations()) {
        std::vector<double> ms;
        QString failure;
        for (int i = 0; i < rounds && failure.isEmpty(); ++i) {
            const CloseResult result = RunCase(op);
            failure = result.failure;
            ms.push_back(result.afterCloseMs);
        }
        if (!failure.isEmpty()) {
            std::printf("  %-46s %s\n", op.name, qPrintable(failure));
            continue;
        }
        std::sort(ms.begin(), ms.end());
        std::printf("  %-46s %6.0f ms / %6.0f ms%s\n", op.name, ms[ms.size() / 2], ms.back(),
                    op.writeMs > 0 ? "  (a write on the line finishes first)" : "");
    }
    return 0;
}
