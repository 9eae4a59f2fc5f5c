#pragma once
// What the live charts show, computed apart from the widgets: the 100-sample histories of the
// strip charts, the intensity band of the selected teach row, the taught colours as tolerance
// ellipses with the extents they cover, and the square window that keeps every taught colour
// and the live point in view.
#include "protocol/ParameterImage.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace live {

inline constexpr int kHistorySamples = 100;

// 100 triples, oldest first; appending drops the oldest.
struct TripleHistory {
    std::array<double, 3 * kHistorySamples> values{};
    void Append(double a, double b, double c);
    double At(int sample, int trace) const { return values[std::size_t(sample * 3 + trace)]; }
};

// The taught intensity of a teach row and its tolerance: cells 4 and 5 in 2D, 3 and 4 in 3D.
struct TaughtIntensity {
    std::uint16_t intensity = 0;
    std::uint16_t tolerance = 0;
};
// The 0-based cell of the taught intensity; its tolerance is the next one.
std::size_t TaughtIntensityCell(std::uint16_t calculationMode);
TaughtIntensity TaughtIntensityOf(const protocol::TeachVector& row, std::uint16_t calculationMode);

// Band of a taught intensity, both limits held inside 0..`upperLimit` (4095 for the strip
// chart, 4096 for the rectangle). Worked in full integers: a sum beyond a word would wrap.
struct Band {
    int lower = 0;
    int upper = 0;
};
inline constexpr int kStripBandLimit = 4095;
inline constexpr int kRectangleBandLimit = 4096;
Band IntensityBand(TaughtIntensity taught, int upperLimit);

struct Extent {
    int min = 0;
    int max = 0;
};
struct TaughtExtents {
    Extent x, y, intensity;
};

// The bounding rectangle of a full ellipse.
struct Ellipse {
    double left = 0, bottom = 0, right = 0, top = 0;
};
// One teach row in the three planes of the 3D page (X/Y, X/INT, Y/INT); the 2D X/Y plane
// shows the same circle as the 3D X/Y plane.
struct TaughtColour {
    Ellipse xy, xInt, yInt;
    std::uint32_t colour = 0;
};
struct TaughtDrawing {
    std::array<TaughtColour, protocol::kTeachRows> rows{};
    TaughtExtents extents;
};
// Every row, active or not, in its row colour. Rows still at their reset value (X and Y both
// 10 or less) do not count for the extents; with no row counted an axis covers 0..10000.
TaughtDrawing
DrawTaughtColoursModel(const std::array<protocol::TeachVector, protocol::kTeachRows>& table,
                       std::uint16_t calculationMode,
                       const std::array<std::uint32_t, protocol::kTeachRows>& colours);

// The centring rule: the span and centre that cover the taught extent and the live value.
struct Centred {
    int span = 0;
    int centre = 0;
};
Centred CentreAxis(int value, Extent taught);

// A square window around two centred axes with a margin of 25 on every side.
struct Range {
    double lower = 0;
    double upper = 0;
};
struct Window {
    Range x, y;
};
inline constexpr int kWindowMargin = 25;
Window SquareWindow(Centred horizontal, Centred vertical);

// The names of the three coordinates (0 X, 1 Y, 2 INT) as CALCULATION MODE calls them: X, Y,
// INT, or s, i, M in the s i M modes.
const char* CoordinateName(int coordinate, bool siM);

// A colour plane on screen shows one unit on X as many pixels as one unit on Y, so a tolerance
// circle is drawn round. Given the pixels the plane can use and the ranges it must show, either
// the largest plot area of the ranges' aspect, centred in those pixels (the ranges stay as they
// are), or the whole area with the range of the side that has pixels to spare widened around its
// centre (both ranges stay in view).
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
};
struct SquareUnits {
    PixelRect centred;
    Window widened;
};
SquareUnits FitSquareUnits(PixelRect area, Window ranges);

// The 2D intensity cursor: M above 1200 stays at 1200 in CALCULATION MODE 1.
inline constexpr int kMCursorLimit = 1200;
int IntensityCursor(std::uint16_t intensity, std::uint16_t calculationMode);

} // namespace live
