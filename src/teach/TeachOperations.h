#pragma once
// The teach table's operations as decisions over plain values: the default tolerances of a
// taught row, the cells TEACH DATA TO writes, and the filling and numbering of a selected block.
#include "protocol/MeasurementFrame.h"
#include "protocol/ParameterImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace teach {

inline constexpr int kLastRow = protocol::kTeachRows - 1; // the No. field runs 0..30

// The default colour tolerance T1 and the second value T2 (the intensity tolerance in 2D, the
// meaningless column 5 in 3D) for the modes.
struct Tolerances {
    std::uint16_t colour = 0;
    std::uint16_t second = 0;
};
Tolerances DefaultTolerances(std::uint16_t evaluationMode, std::uint16_t calculationMode,
                             std::uint16_t powerMode);

// One cell written: 0-based teach row and column (0..4).
struct CellWrite {
    int row = 0;
    int column = 0;
    std::uint16_t value = 0;
};

struct TeachInputs {
    protocol::MeasurementFrame frame;
    int selectedRow = 0; // the No. field
    bool autoIncrement = false;
    bool writeTolerances = true; // the teach tolerance flag is not 1
    std::uint16_t evaluationMode = 0;
    std::uint16_t calculationMode = 0;
    std::uint16_t powerMode = 0;
};

struct TeachResult {
    std::vector<CellWrite> writes;
    int nextSelectedRow = 0; // the No. field afterwards
    int colourRow = 0;       // the row whose colour the automatic colour mode sets
};

// TEACH DATA TO: X, Y and INT of the measurement into the selected row with the default
// tolerances, or in THD RGB the red, green and blue values as the thresholds of rows 0..2.
TeachResult TeachRowFromValues(const TeachInputs& inputs);

// A selected block of cells in reading order (rows top to bottom, columns left to right).
struct BlockCell {
    bool editable = true;
    std::uint16_t value = 0;
};

// Every editable cell set to `value`.
std::vector<BlockCell> SetBlockTo(std::vector<BlockCell> block, std::uint16_t value);
// The editable cells numbered from the first cell's value on by `step`, up or down (16-bit,
// wrapping);
// nothing when the first cell is not editable. Non-editable cells keep their value and take no
// number.
std::optional<std::vector<BlockCell>> IncrementBlock(std::vector<BlockCell> block,
                                                     std::int32_t step);
// The operator's answer to the value prompt: one integer, at most 9 characters, else nothing;
// a cell value is held to 0..65535, a step to -65535..65535.
std::optional<std::uint16_t> ParseCellValue(const std::string& answer);
std::optional<std::int32_t> ParseCellStep(const std::string& answer);
// Why ParseCellValue takes nothing from `answer`, for the status bar; empty when it takes a
// value.
std::string CellValueRefusal(const std::string& answer);

} // namespace teach
