#include "teach/TeachOperations.h"

#include "protocol/ParameterCodes.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace teach {

Tolerances DefaultTolerances(std::uint16_t evaluationMode, std::uint16_t calculationMode,
                             std::uint16_t powerMode) {
    std::uint16_t colour = 100; // FIRST HIT and COL5
    std::uint16_t intensity = 100;
    if (evaluationMode == protocol::kEvalBestHit) {
        colour = 200;
        intensity = 200;
    } else if (evaluationMode == protocol::kEvalMinDist) {
        colour = 40;
        intensity = 200;
    }
    if (protocol::IsCalculation3D(calculationMode)) return {colour, 1};
    if (calculationMode == protocol::kCalcSiM2D) return {colour, 50};
    // X Y INT 2D: a dynamically regulated power halves the intensity tolerance.
    if (powerMode == protocol::kPowerModeDyn) intensity = std::uint16_t(intensity / 2);
    return {colour, intensity};
}

TeachResult TeachRowFromValues(const TeachInputs& in) {
    using F = protocol::MeasurementFrame;
    TeachResult result;
    const int row =
        in.selectedRow < 0 ? 0 : (in.selectedRow > kLastRow ? kLastRow : in.selectedRow);
    result.nextSelectedRow = row;
    result.colourRow = row;
    const auto& w = in.frame.w;
    if (in.evaluationMode >= protocol::kEvalThdRgb) {
        result.writes = {{0, 0, w[F::kRed]}, {1, 0, w[F::kGreen]}, {2, 0, w[F::kBlue]}};
        return result;
    }
    const bool threeD = protocol::IsCalculation3D(in.calculationMode);
    result.writes = {{row, 0, w[F::kX]}, {row, 1, w[F::kY]}, {row, threeD ? 2 : 3, w[F::kInt]}};
    if (in.writeTolerances) {
        const Tolerances t = DefaultTolerances(in.evaluationMode, in.calculationMode, in.powerMode);
        result.writes.push_back({row, threeD ? 3 : 2, t.colour});
        result.writes.push_back({row, 4, t.second});
    }
    if (in.autoIncrement && row < kLastRow) result.nextSelectedRow = row + 1;
    return result;
}

std::vector<BlockCell> SetBlockTo(std::vector<BlockCell> block, std::uint16_t value) {
    for (BlockCell& cell : block) {
        if (cell.editable) cell.value = value;
    }
    return block;
}

std::optional<std::vector<BlockCell>> IncrementBlock(std::vector<BlockCell> block,
                                                     std::int32_t step) {
    if (block.empty() || !block.front().editable) return std::nullopt;
    std::uint16_t running = block.front().value;
    for (BlockCell& cell : block) {
        if (!cell.editable) continue;
        cell.value = running;
        // Modulo 2^16 both ways, so a negative step counts down as typed.
        running = std::uint16_t(std::int32_t(running) + step);
    }
    return block;
}

namespace {

constexpr std::size_t kAnswerLength = 9;

struct CellAnswer {
    std::optional<long> value;
    std::string refusal;
};

// One integer as typed; callers hold it to the range they take.
CellAnswer ReadCellAnswer(const std::string& answer) {
    if (answer.size() > kAnswerLength)
        return {std::nullopt, "refused: the answer has more than " + std::to_string(kAnswerLength) +
                                  " characters"};
    std::size_t start = answer.find_first_not_of(' ');
    if (start == std::string::npos) return {std::nullopt, "refused: the answer is empty"};
    long value = 0;
    const char* first = answer.data() + start;
    const char* last = answer.data() + answer.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end == first)
        return {std::nullopt, "refused: the answer is not a whole number"};
    return {value, {}};
}

} // namespace

std::optional<std::uint16_t> ParseCellValue(const std::string& answer) {
    const auto value = ReadCellAnswer(answer).value;
    if (!value) return std::nullopt;
    // The table takes 16-bit words; anything beyond is held at the nearest end.
    return std::uint16_t(std::clamp(*value, 0L, 0xFFFFL));
}

std::optional<std::int32_t> ParseCellStep(const std::string& answer) {
    const auto value = ReadCellAnswer(answer).value;
    if (!value) return std::nullopt;
    // A step longer than the word's range would only go round it.
    return std::int32_t(std::clamp(*value, -0xFFFFL, 0xFFFFL));
}

std::string CellValueRefusal(const std::string& answer) {
    return ReadCellAnswer(answer).refusal;
}

} // namespace teach
