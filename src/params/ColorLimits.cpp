// Rule R6: how many colours and groups the output mode can carry, and the active-row marking.
#include "params/ParameterRules.h"
#include "protocol/ParameterCodes.h"

namespace params {

namespace {

// Five outputs: five direct lines, or 2^5 - 1 colours (2^5 - 2 groups) as a binary number, one
// pattern being kept for the error state.
constexpr int kDirectColourLimit = 5;
constexpr int kBinaryColourLimit = 31;
constexpr int kDirectGroupLimit = 4;
constexpr int kBinaryGroupLimit = 30;

void LimitMaxVecNo(ColorLimitCheck& check) {
    auto& values = check.controls.values;
    const int limit = values[protocol::kDigitalOutmode] == protocol::kOutBinary
                          ? kBinaryColourLimit
                          : kDirectColourLimit;
    if (values[protocol::kMaxVecNo] <= limit) return;
    check.activateMainPage = kMainPageParameters;
    check.notices.push_back({"INFO!", MaxColTooHighText()});
    values[protocol::kMaxVecNo] = static_cast<std::uint16_t>(limit);
}

void LimitGroupCells(ColorLimitCheck& check) {
    const int limit = check.controls.values[protocol::kDigitalOutmode] == protocol::kOutBinary
                          ? kBinaryGroupLimit
                          : kDirectGroupLimit;
    std::array<std::uint32_t, protocol::kTeachRows> backgrounds{};
    auto& cells = check.controls.groupCells;
    for (int i = 0; i < protocol::kTeachRows; ++i) {
        backgrounds[i] = kColourCellPlain;
        if (cells[i] <= limit) continue;
        cells[i] = 0;
        backgrounds[i] = kColourCellReset;
        check.resetGroupCells.push_back(i);
    }
    check.groupCellBackgrounds = backgrounds;
    if (check.resetGroupCells.empty()) return;
    check.activateMainPage = kMainPageGroupHold;
    check.notices.push_back({"INFO!", GroupTooHighText()});
}

void MarkActiveRows(ColorLimitCheck& check) {
    // Kept in int: MAX VEC NO may be 65535 while groups are on, and n + 1 must not wrap.
    const int n = check.controls.values[protocol::kMaxVecNo];
    for (int i = 0; i < protocol::kTeachRows; ++i)
        check.rowLabels[i] = i < n ? kColourActiveRow : kColourInactiveRow;
    for (int i = 0; i < kHoldRows; ++i)
        check.holdRowLabels[i] = i < n + 1 ? kColourActiveRow : kColourInactiveRow;
}

} // namespace

const std::string& MaxColTooHighText() {
    static const std::string text =
        "ATTENTION! \n\nMAXCOL-No. is too high. \n\nIf color group is disabled and OUMODE=DIRECT "
        "LO or \nDIRECT HI, the maximum number is 5. \nIf OUTMODE=BINARY, the maximum number is "
        "31. \n\nIf color group is enabled, the maximum number is 31. \n\nMAXCOL-No. will be set "
        "to maximum value.";
    return text;
}

const std::string& GroupTooHighText() {
    static const std::string text =
        "ATTENTION! \nIf OUTMODE=DIRECT HI or DIRECT LO: \n5 groups are possible! GROUP "
        "0,1,2,3,4. \nIf OUTMODE=BINARY: \n31 groups are possible. GROUP 0,1,2.....30. \n\n "
        "Cell will be set to 0.";
    return text;
}

ColorLimitCheck CheckColorLimits(const ParameterControls& controls) {
    ColorLimitCheck check;
    check.controls = controls;
    // Any non-zero COLOR GROUP counts as on, so a stray value is still checked one way.
    if (controls.values[protocol::kColorGroup] == 0)
        LimitMaxVecNo(check);
    else
        LimitGroupCells(check);
    MarkActiveRows(check);
    return check;
}

} // namespace params
