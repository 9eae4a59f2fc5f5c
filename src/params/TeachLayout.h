#pragma once
// What the five teach cells of a row mean per mode: the column headings, which headings the
// MIN DIST evaluation hides, and the cell conversion when the calculation mode changes between
// 2D and 3D.
#include "protocol/ParameterImage.h"

#include <array>
#include <cstdint>
#include <string>

namespace params {

using TeachTable = std::array<protocol::TeachVector, protocol::kTeachRows>;

// Headings of teach columns 1..5. THD RGB (evaluation mode 4 or more) shows "THD" and four empty
// headings whatever the calculation mode.
std::array<std::string, 5> TeachColumnHeadings(std::uint16_t calculationMode,
                                               std::uint16_t evaluationMode);

// Which of the five headings are shown. MIN DIST hides the colour-tolerance heading (column 3 in
// 2D, column 4 in 3D); the cells themselves stay.
std::array<bool, 5> TeachHeadingVisibility(std::uint16_t calculationMode,
                                           std::uint16_t evaluationMode);

// Cells of every row after the operator moved from oldMode to newMode. 2D -> 3D: w2 := INT,
// w3 := colour tolerance (now TOL), w4 := 1. 3D -> 2D: w2 := TOL, w3 := INT, w4 := TOL, so the
// former intensity tolerance is lost on a 2D -> 3D -> 2D round trip. Within 2D or within 3D the
// cells stay. GROUP, HOLD and the reserved word are never touched.
TeachTable ConvertTeachTable(std::uint16_t oldMode, std::uint16_t newMode, const TeachTable& table);

} // namespace params
