#include "live/LiveGraphs.h"

#include "protocol/ParameterCodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace live {

void TripleHistory::Append(double a, double b, double c) {
    std::memmove(values.data(), values.data() + 3, (values.size() - 3) * sizeof(double));
    values[values.size() - 3] = a;
    values[values.size() - 2] = b;
    values[values.size() - 1] = c;
}

std::size_t TaughtIntensityCell(std::uint16_t calculationMode) {
    return protocol::IsCalculation3D(calculationMode) ? 2 : 3;
}

TaughtIntensity TaughtIntensityOf(const protocol::TeachVector& row, std::uint16_t calculationMode) {
    const std::size_t first = TaughtIntensityCell(calculationMode);
    return {row.w[first], row.w[first + 1]};
}

Band IntensityBand(TaughtIntensity taught, int upperLimit) {
    const int intensity = taught.intensity;
    const int tolerance = taught.tolerance;
    return {std::clamp(intensity - tolerance, 0, upperLimit),
            std::clamp(intensity + tolerance, 0, upperLimit)};
}

TaughtDrawing
DrawTaughtColoursModel(const std::array<protocol::TeachVector, protocol::kTeachRows>& table,
                       std::uint16_t calculationMode,
                       const std::array<std::uint32_t, protocol::kTeachRows>& colours) {
    const bool threeD = protocol::IsCalculation3D(calculationMode);
    TaughtDrawing drawing;
    TaughtExtents& e = drawing.extents;
    e.x = e.y = e.intensity = Extent{10000, 0};
    for (std::size_t r = 0; r < table.size(); ++r) {
        const auto& w = table[r].w;
        const int x = w[0];
        const int y = w[1];
        const int c = threeD ? w[3] : w[2];
        const int i = threeD ? w[2] : w[3];
        const int t = threeD ? w[3] : w[4];
        TaughtColour& shape = drawing.rows[r];
        shape.colour = colours[r];
        shape.xy = {double(x - c), double(y - c), double(x + c), double(y + c)};
        shape.xInt = {double(x - c), double(i - t), double(x + c), double(i + t)};
        shape.yInt = {double(y - c), double(i - t), double(y + c), double(i + t)};
        if (x <= 10 && y <= 10) continue; // still at its reset value
        e.x = {std::min(e.x.min, x - c), std::max(e.x.max, x + c)};
        e.y = {std::min(e.y.min, y - c), std::max(e.y.max, y + c)};
        e.intensity = {std::min(e.intensity.min, i - t), std::max(e.intensity.max, i + t)};
    }
    for (Extent* axis : {&e.x, &e.y, &e.intensity}) {
        if (axis->max < axis->min) std::swap(axis->min, axis->max);
    }
    return drawing;
}

Centred CentreAxis(int value, Extent taught) {
    if (value > taught.max) {
        const int span = value - taught.min;
        return {span, taught.min + span / 2};
    }
    if (value < taught.min) {
        const int span = taught.max - value;
        return {span, value + span / 2};
    }
    const int span = taught.max - taught.min;
    return {span, taught.min + span / 2};
}

Window SquareWindow(Centred horizontal, Centred vertical) {
    const int h = std::max(horizontal.span, vertical.span) / 2 + kWindowMargin;
    return {{double(horizontal.centre - h), double(horizontal.centre + h)},
            {double(vertical.centre - h), double(vertical.centre + h)}};
}

const char* CoordinateName(int coordinate, bool siM) {
    static const char* const kNames[2][3] = {{"X", "Y", "INT"}, {"s", "i", "M"}};
    return kNames[siM ? 1 : 0][std::clamp(coordinate, 0, 2)];
}

SquareUnits FitSquareUnits(PixelRect area, Window ranges) {
    const double spanX = ranges.x.upper - ranges.x.lower;
    const double spanY = ranges.y.upper - ranges.y.lower;
    if (area.width <= 0 || area.height <= 0 || spanX <= 0 || spanY <= 0) return {area, ranges};
    // The side with fewer pixels per unit sets the scale of both.
    const double perUnit = std::min(area.width / spanX, area.height / spanY);
    const int width = std::clamp(int(std::lround(spanX * perUnit)), 1, area.width);
    const int height = std::clamp(int(std::lround(spanY * perUnit)), 1, area.height);
    const PixelRect centred{area.left + (area.width - width) / 2,
                            area.top + (area.height - height) / 2, width, height};
    const double centreX = (ranges.x.lower + ranges.x.upper) / 2;
    const double centreY = (ranges.y.lower + ranges.y.upper) / 2;
    const double halfX = std::max(spanX, area.width / perUnit) / 2;
    const double halfY = std::max(spanY, area.height / perUnit) / 2;
    return {centred, {{centreX - halfX, centreX + halfX}, {centreY - halfY, centreY + halfY}}};
}

int IntensityCursor(std::uint16_t intensity, std::uint16_t calculationMode) {
    if (calculationMode == 1 && intensity > kMCursorLimit) return kMCursorLimit;
    return intensity;
}

} // namespace live
