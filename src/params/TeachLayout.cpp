#include "params/TeachLayout.h"

#include "protocol/ParameterCodes.h"

namespace params {

std::array<std::string, 5> TeachColumnHeadings(std::uint16_t calculationMode,
                                               std::uint16_t evaluationMode) {
    if (protocol::IsThdRgb(evaluationMode)) return {"THD", "", "", "", ""};
    switch (calculationMode) {
    case protocol::kCalcSiM2D:
        return {"s", "i", "siTO", "M", "MTO"};
    case protocol::kCalcXyInt3D:
        return {"X", "Y", "INT", "TOL", ""};
    case protocol::kCalcSiM3D:
        return {"s", "i", "M", "TOL", ""};
    default:
        return {"X", "Y", "CTO", "INT", "ITO"};
    }
}

std::array<bool, 5> TeachHeadingVisibility(std::uint16_t calculationMode,
                                           std::uint16_t evaluationMode) {
    std::array<bool, 5> shown{true, true, true, true, true};
    if (evaluationMode != protocol::kEvalMinDist) return shown;
    shown[protocol::IsCalculation3D(calculationMode) ? 3 : 2] = false;
    return shown;
}

TeachTable ConvertTeachTable(std::uint16_t oldMode, std::uint16_t newMode,
                             const TeachTable& table) {
    const bool was3D = protocol::IsCalculation3D(oldMode);
    const bool is3D = protocol::IsCalculation3D(newMode);
    if (was3D == is3D) return table;
    TeachTable converted = table;
    for (auto& row : converted) {
        const std::uint16_t oldW2 = row.w[2];
        const std::uint16_t oldW3 = row.w[3];
        row.w[2] = oldW3;
        row.w[3] = oldW2;
        row.w[4] = is3D ? std::uint16_t{1} : oldW3;
    }
    return converted;
}

} // namespace params
