#include "teach/MeanValueTeach.h"

#include "protocol/ParameterCodes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace teach {

namespace {

// Cells are 16-bit words: a sum beyond one is held at the top instead of wrapping.
std::uint16_t Word(long value) {
    return std::uint16_t(std::clamp(value, 0L, 0xFFFFL));
}

std::uint16_t Tolerance(int choice, std::uint16_t value, int measured, std::uint16_t kept) {
    switch (choice) {
    case 0:
        return value;
    case 1:
        return Word(measured);
    case 2:
        return Word(long(value) + measured);
    default:
        return kept;
    }
}

} // namespace

int CaptureFrame(CaptureTable& table, const protocol::MeasurementFrame& frame) {
    using F = protocol::MeasurementFrame;
    table.count = std::min(table.count, kCaptureRows - 1) + 1;
    const int row = table.count - 1;
    const int words[kCaptureColumns] = {F::kRed, F::kGreen, F::kBlue, F::kX, F::kY, F::kInt};
    for (int c = 0; c < kCaptureColumns; ++c)
        table.rows[std::size_t(row)][std::size_t(c)] = frame.w[std::size_t(words[c])];
    return row;
}

int UndoCapture(CaptureTable& table) {
    if (table.count > 0) --table.count;
    table.rows[std::size_t(table.count)].fill(0);
    // Row max(n - 5, 1) counted from 1.
    return std::max(table.count - 5, 1) - 1;
}

MeanAndSpread ComputeMeanAndSpread(const CaptureTable& table, std::uint16_t calculationMode) {
    MeanAndSpread result;
    const int n = table.count;
    if (n <= 0) return result;
    for (int c = 0; c < kCaptureColumns; ++c) {
        long sum = 0;
        for (int r = 0; r < n; ++r)
            sum += table.rows[std::size_t(r)][std::size_t(c)];
        result.mean[std::size_t(c)] = std::uint16_t(sum / n);
    }
    for (int r = 0; r < n; ++r) {
        const auto& row = table.rows[std::size_t(r)];
        const long dx = long(row[3]) - result.mean[3];
        const long dy = long(row[4]) - result.mean[4];
        const long di = std::labs(long(row[5]) - result.mean[5]);
        result.maxIntensity = std::max(result.maxIntensity, int(di));
        const long squares =
            dx * dx + dy * dy + (protocol::IsCalculation3D(calculationMode) ? di * di : 0);
        result.maxDistance = std::max(result.maxDistance, int(std::sqrt(double(squares))));
    }
    return result;
}

TeachResult TeachMeanValues(const MeanTeachInputs& in) {
    TeachResult result;
    const int row =
        in.selectedRow < 0 ? 0 : (in.selectedRow > kLastRow ? kLastRow : in.selectedRow);
    result.colourRow = row;
    result.nextSelectedRow = row;
    const bool threeD = protocol::IsCalculation3D(in.calculationMode);
    const auto& mean = in.spread.mean;
    const int colourColumn = threeD ? 3 : 2;
    const std::uint16_t colour =
        in.evaluationMode == protocol::kEvalMinDist
            ? 40 // MIN DIST always teaches 40
            : Tolerance(in.colourChoice, in.colourValue, in.spread.maxDistance,
                        in.row.w[std::size_t(colourColumn)]);
    result.writes = {{row, 0, mean[3]}, {row, 1, mean[4]}};
    if (threeD) {
        result.writes.push_back({row, 2, mean[5]});
        result.writes.push_back({row, 3, colour});
    } else {
        const std::uint16_t intensity =
            Tolerance(in.intensityChoice, in.intensityValue, in.spread.maxIntensity, in.row.w[4]);
        result.writes.push_back({row, 2, colour});
        result.writes.push_back({row, 3, mean[5]});
        result.writes.push_back({row, 4, intensity});
    }
    if (in.autoIncrement && row < kLastRow) result.nextSelectedRow = row + 1;
    return result;
}

} // namespace teach
