#include "sim/ColourEvaluation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace sim {

namespace {

constexpr int kFullScale = 4095;
constexpr int kEvalFirstHit = 0;
constexpr int kEvalMinDist = 2;
constexpr int kEvalCol5 = 3;
constexpr int kEvalThdRgb = 4;

int ClampChannel(double value) {
    return std::clamp(static_cast<int>(std::lround(value)), 0, kFullScale);
}

// Colour distance of the live point to a taught row: in the colour plane in 2D, in the
// X/Y/INT space in 3D.
int Distance(const ColourPoint& live, const TaughtColour& taught, bool threeD) {
    const double dx = live.first - taught.point.first;
    const double dy = live.second - taught.point.second;
    const double di = threeD ? live.intensity - taught.point.intensity : 0.0;
    return static_cast<int>(std::lround(std::sqrt(dx * dx + dy * dy + di * di)));
}

bool IntensityInside(const ColourPoint& live, const TaughtColour& taught) {
    return std::abs(live.intensity - taught.point.intensity) <= taught.intensityTolerance;
}

bool IsHit(const ColourPoint& live, const TaughtColour& taught, bool threeD) {
    const int distance = Distance(live, taught, threeD);
    if (threeD) return distance <= taught.colourTolerance;
    return distance <= taught.colourTolerance && IntensityInside(live, taught);
}

std::int16_t ClampDistance(int distance) {
    return static_cast<std::int16_t>(std::min(distance, 32767));
}

Evaluation EvaluateThresholds(const Rgb& rgb, const ParameterImage& set) {
    Evaluation result;
    const int channels[3] = {rgb.red, rgb.green, rgb.blue};
    result.colourNumber = 0;
    for (int i = 0; i < 3; ++i) {
        if (channels[i] > set.table[i].w[0])
            result.colourNumber = static_cast<std::uint16_t>(result.colourNumber | (1 << i));
    }
    return result;
}

Evaluation EvaluateCol5(const ColourPoint& live, const ParameterImage& set, int rows, bool threeD) {
    Evaluation result;
    int bits = 0;
    int nearest = -1;
    for (int row = 0; row < std::min(rows, 5); ++row) {
        const TaughtColour taught =
            ReadTaughtColour(set.table[row], set.parameters[kCalculationMode]);
        if (!IsHit(live, taught, threeD)) continue;
        bits |= 1 << row;
        const int distance = Distance(live, taught, threeD);
        nearest = nearest < 0 ? distance : std::min(nearest, distance);
    }
    if (bits == 0) return result;
    result.colourNumber = static_cast<std::uint16_t>(bits);
    result.deltaC = ClampDistance(nearest);
    return result;
}

// Picks the row for FIRST HIT, BEST HIT and MIN DIST; returns -1 and the distance to report.
int PickRow(const ColourPoint& live, const ParameterImage& set, int rows, int& distanceOut) {
    const int mode = set.parameters[kEvaluationMode];
    const int calc = set.parameters[kCalculationMode];
    const bool threeD = Is3dMode(calc);
    int best = -1;
    int bestDistance = 0;
    for (int row = 0; row < rows; ++row) {
        const TaughtColour taught = ReadTaughtColour(set.table[row], calc);
        const int distance = Distance(live, taught, threeD);
        distanceOut = distance; // FIRST HIT without a hit reports the last enabled row
        const bool candidate = mode == kEvalMinDist ? (threeD || IntensityInside(live, taught))
                                                    : IsHit(live, taught, threeD);
        if (!candidate) continue;
        if (mode == kEvalFirstHit) {
            distanceOut = distance;
            return row;
        }
        if (best < 0 || distance < bestDistance) {
            best = row;
            bestDistance = distance;
        }
    }
    if (best >= 0)
        distanceOut = bestDistance;
    else if (mode != kEvalFirstHit || rows == 0)
        distanceOut = -1;
    return best;
}

} // namespace

bool IsSiMode(int calculationMode) {
    return calculationMode == 1 || calculationMode == 3;
}

bool Is3dMode(int calculationMode) {
    return calculationMode == 2 || calculationMode == 3;
}

ColourPoint ComputeColourPoint(const Rgb& rgb, int calculationMode) {
    const int sum = rgb.red + rgb.green + rgb.blue;
    ColourPoint point;
    if (IsSiMode(calculationMode)) {
        point.first = (rgb.red - rgb.green + kFullScale) * 10000 / (2 * kFullScale);
        point.second =
            ((rgb.red + rgb.green) / 2 - rgb.blue + kFullScale) * 10000 / (2 * kFullScale);
        point.intensity = sum * 1200 / (3 * kFullScale);
        return point;
    }
    if (sum > 0) {
        point.first = rgb.red * 10000 / sum;
        point.second = rgb.green * 10000 / sum;
    }
    point.intensity = sum / 3;
    return point;
}

Rgb RgbFromColourPoint(const ColourPoint& point, int calculationMode) {
    if (IsSiMode(calculationMode)) {
        const double sum = point.intensity * 3.0 * kFullScale / 1200.0;
        const double redMinusGreen = point.first * 2.0 * kFullScale / 10000.0 - kFullScale;
        const double halfRgMinusBlue = point.second * 2.0 * kFullScale / 10000.0 - kFullScale;
        // (r+g)/2 - b = d and r+g+b = S give r+g = (d + S) / 1.5.
        const double redPlusGreen = (halfRgMinusBlue + sum) / 1.5;
        return {ClampChannel((redPlusGreen + redMinusGreen) / 2),
                ClampChannel((redPlusGreen - redMinusGreen) / 2), ClampChannel(sum - redPlusGreen)};
    }
    const double sum = point.intensity * 3.0;
    const double red = sum * point.first / 10000.0;
    const double green = sum * point.second / 10000.0;
    return {ClampChannel(red), ClampChannel(green), ClampChannel(sum - red - green)};
}

TaughtColour ReadTaughtColour(const TeachVector& row, int calculationMode) {
    TaughtColour taught;
    taught.point.first = row.w[0];
    taught.point.second = row.w[1];
    if (Is3dMode(calculationMode)) {
        taught.point.intensity = row.w[2];
        taught.colourTolerance = row.w[3];
        taught.intensityTolerance = row.w[3];
        return taught;
    }
    taught.colourTolerance = row.w[2];
    taught.point.intensity = row.w[3];
    taught.intensityTolerance = row.w[4];
    return taught;
}

bool IsTaught(const TeachVector& row) {
    return row.w[0] > 10 || row.w[1] > 10;
}

Evaluation EvaluateColour(const Rgb& rgb, const ParameterImage& set) {
    const int mode = set.parameters[kEvaluationMode];
    if (mode == kEvalThdRgb) return EvaluateThresholds(rgb, set);
    const int calc = set.parameters[kCalculationMode];
    const ColourPoint live = ComputeColourPoint(rgb, calc);
    if (live.intensity < set.parameters[kIntlim]) return {};
    const int rows = std::min<int>(set.parameters[kMaxVecNo], kTeachRows);
    if (mode == kEvalCol5) return EvaluateCol5(live, set, rows, Is3dMode(calc));
    int distance = -1;
    const int row = PickRow(live, set, rows, distance);
    Evaluation result;
    result.deltaC = distance < 0 ? kNoDistance : ClampDistance(distance);
    if (row < 0) return result;
    result.colourNumber = static_cast<std::uint16_t>(row);
    // Without colour groups every row is a group of its own.
    result.group =
        set.parameters[kColorGroup] == 1 ? set.table[row].w[5] : static_cast<std::uint16_t>(row);
    return result;
}

} // namespace sim
