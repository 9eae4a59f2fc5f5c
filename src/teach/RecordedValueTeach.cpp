#include "teach/RecordedValueTeach.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace teach {

PlanePoint GraphCoordinates(const core::TeachPoint& point, int graph) {
    switch (graph) {
    case 0:
        return {point[0], point[1]};
    case 1:
        return {point[0], point[2]};
    default:
        return {point[1], point[2]};
    }
}

int TeachPointCapacity(const std::vector<core::TeachPoint>& records) {
    return std::min<int>(core::kTeachPointCapacity, int(records.size()));
}

bool AppendTeachPoint(std::vector<core::TeachPoint>& records, std::uint16_t& count,
                      const core::TeachPoint& point) {
    const int capacity = TeachPointCapacity(records);
    if (count >= capacity) return false;
    records[count] = point;
    ++count;
    return count < capacity;
}

int FindTeachRecord(const std::vector<core::TeachPoint>& records, int count, int graph,
                    PlanePoint cursor) {
    count = std::clamp(count, 0, int(records.size()));
    for (int k = 0; k < count; ++k) {
        const PlanePoint p = GraphCoordinates(records[std::size_t(k)], graph);
        if (p.a == cursor.a && p.b == cursor.b) return k;
    }
    return 0;
}

std::optional<int> NearestTeachRecord(const std::vector<core::TeachPoint>& records, int count,
                                      int graph, PlanePoint at, double scaleA, double scaleB) {
    count = std::clamp(count, 0, int(records.size()));
    std::optional<int> best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int k = 0; k < count; ++k) {
        const PlanePoint p = GraphCoordinates(records[std::size_t(k)], graph);
        const double da = (p.a - at.a) * scaleA;
        const double db = (p.b - at.b) * scaleB;
        const double distance = da * da + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = k;
        }
    }
    return best;
}

AxisRange RangeAround(double value, double minimumSpan) {
    const double half = minimumSpan / 2;
    AxisRange range{value - half, value + half};
    // Values are unsigned words; the axis does not wander below zero for nothing.
    if (range.lower < 0 && value >= 0) range = {0, minimumSpan};
    return range;
}

AxisRange WidenedRange(AxisRange range, double value) {
    if (range.Contains(value)) return range;
    const double span = std::max(range.upper - range.lower, 1.0);
    if (value > range.upper) {
        const double upper = std::max(value + (value - range.lower) / 3, range.upper + span / 2);
        return {range.lower, upper};
    }
    double lower = std::min(value - (range.upper - value) / 3, range.lower - span / 2);
    if (lower < 0 && value >= 0) lower = 0;
    return {lower, range.upper};
}

} // namespace teach
