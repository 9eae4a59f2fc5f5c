#pragma once
// Teaching the mean of several captured measurements: the capture table of up to 100 frames,
// the column means with the largest distances from them, and the row the mean teaches.
#include "protocol/MeasurementFrame.h"
#include "protocol/ParameterImage.h"
#include "teach/TeachOperations.h"

#include <array>
#include <cstdint>

namespace teach {

inline constexpr int kCaptureRows = 100;
inline constexpr int kCaptureColumns = 6; // RED, GREEN, BLUE, X, Y, INT

struct CaptureTable {
    std::array<std::array<std::uint16_t, kCaptureColumns>, kCaptureRows> rows{};
    int count = 0;
};

// The frame's RED, GREEN, BLUE, X, Y, INT as the next row; a full table overwrites its last row.
// Returns the 0-based row written.
int CaptureFrame(CaptureTable& table, const protocol::MeasurementFrame& frame);
// Takes the last frame back (its row cleared); the first row is cleared even when empty.
// Returns the 0-based row to make active: five rows above the last frame left, so that the
// last rows stay in view.
int UndoCapture(CaptureTable& table);

struct MeanAndSpread {
    std::array<std::uint16_t, kCaptureColumns> mean{};
    int maxDistance = 0;  // colour distance (X/Y in 2D, X/Y/INT in 3D), truncated
    int maxIntensity = 0; // |INT - mean INT|
};
MeanAndSpread ComputeMeanAndSpread(const CaptureTable& table, std::uint16_t calculationMode);

// How a tolerance is taught: 0 the value field, 1 the measured distance, 2 both added, 3 the
// row's own tolerance unchanged. A tolerance beyond a word is held at 65535.
struct MeanTeachInputs {
    MeanAndSpread spread;
    int colourChoice = 0;
    int intensityChoice = 0;
    std::uint16_t colourValue = 0;
    std::uint16_t intensityValue = 0;
    protocol::TeachVector row; // the selected row as it is
    int selectedRow = 0;
    bool autoIncrement = false;
    std::uint16_t evaluationMode = 0;
    std::uint16_t calculationMode = 0;
};
TeachResult TeachMeanValues(const MeanTeachInputs& inputs);

} // namespace teach
