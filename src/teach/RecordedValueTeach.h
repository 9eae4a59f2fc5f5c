#pragma once
// The recorded-value teach panel's decisions over plain values: which two coordinates each of
// its three graphs shows, the earliest record under a cursor, the record nearest to where the
// operator let a cursor go, and the axis range that keeps a growing cloud in view.
#include "core/AppState.h"

#include <optional>

namespace teach {

// The three graphs: 0 X/Y, 1 X/INT, 2 Y/INT.
inline constexpr int kTeachGraphs = 3;

struct PlanePoint {
    double a = 0; // horizontal
    double b = 0; // vertical
};
PlanePoint GraphCoordinates(const core::TeachPoint& point, int graph);

// Writes `point` as record `count` and counts it, unless the buffer is full (then nothing is
// written). Returns whether another point fits afterwards: false ends a recording.
bool AppendTeachPoint(std::vector<core::TeachPoint>& records, std::uint16_t& count,
                      const core::TeachPoint& point);
int TeachPointCapacity(const std::vector<core::TeachPoint>& records);

// The first of records 0..count-1 whose coordinates in `graph` equal (a, b) exactly; 0 when
// none does (or none was recorded).
int FindTeachRecord(const std::vector<core::TeachPoint>& records, int count, int graph,
                    PlanePoint cursor);

// The record whose point in `graph` lies nearest to `at`, distances measured after scaling each
// axis by its factor (pixels per unit), so that a cursor lands on the point the operator sees
// nearest. Earliest wins a tie. Nothing when no point is recorded.
std::optional<int> NearestTeachRecord(const std::vector<core::TeachPoint>& records, int count,
                                      int graph, PlanePoint at, double scaleA, double scaleB);

// An axis range that grows to take a new value.
struct AxisRange {
    double lower = 0;
    double upper = 0;
    bool Contains(double v) const { return v >= lower && v <= upper; }
};
// The range around the first value of a cloud: at least `minimumSpan` wide.
AxisRange RangeAround(double value, double minimumSpan);
// The range widened so that `value` lies inside with a margin of a quarter of the new span on
// its side; grows by at least half the old span, so a drifting cloud widens the axis rarely.
AxisRange WidenedRange(AxisRange range, double value);

} // namespace teach
