#pragma once
// The parameter rules as pure decisions. The panels read their controls into a
// ParameterControls snapshot, call ApplyParameterRules and carry out the RuleDecision: write the
// values back, dim or undim controls, rebuild the TRIGGER list, show or hide displays and pages,
// paint cells and row labels, show the notices in order and switch tab pages.
#include "live/DisplayModes.h"
#include "protocol/ParameterImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace params {

constexpr std::uint32_t kColourActiveRow = 0x008000;
constexpr std::uint32_t kColourInactiveRow = 0xFF0000;
constexpr std::uint32_t kColourCellReset = 0xFF0000;
constexpr std::uint32_t kColourCellPlain = 0xFFFFFF;

// Tab pages of the main panel that the rules bring to the front.
enum MainTabPage : int { kMainPageParameters = 1, kMainPageGroupHold = 2 };
using live::DataPages;
using live::DataPanelDisplays;
using live::kDataPage2D;
using live::kDataPage3D;
using live::kDataPageInt;
using live::kDataPageRgb;

constexpr int kHoldRows = protocol::kTeachRows + 1; // HOLD FAIL, then one per teach row

// The control values the rules read, as the controls show them.
struct ParameterControls {
    std::array<std::uint16_t, protocol::kParameterCount> values{}; // by ParameterWord
    std::size_t triggerListLength = 7;                             // items now in the TRIGGER list
    std::array<std::uint16_t, protocol::kTeachRows> groupCells{};  // group table rows 1..31
    std::uint16_t paraSet = 0;                                     // 0 ParaSet0, 1 ParaSet1
    int dataActivePage = kDataPage3D;                              // active page of the data panel
};

struct TriggerItem {
    std::string label;
    std::uint16_t value = 0;
};

// true = dimmed (the operator cannot change it), false = usable.
struct ControlLocks {
    bool power = false;
    bool powerMode = false;
    bool dynWinLo = false;
    bool dynWinHi = false;
    bool maxVecNo = false;
    bool intlim = false;
    bool digitalOutmode = false;
    bool calculationMode = false;
    bool trigger = false;
    bool externTeach = false;
    bool colorGroup = false;
    bool groupTable = false;
    bool groupTableReset = false;
    bool paraSetButtons = false;
};

struct OperatorNotice {
    std::string title;
    std::string text;
};

// The outcome of the colour-limit check alone (also part of every RuleDecision).
struct ColorLimitCheck {
    ParameterControls controls;
    std::vector<OperatorNotice> notices;
    std::optional<int> activateMainPage;
    // Group-cell backgrounds, only when COLOR GROUP is on (the cells are checked only then).
    std::optional<std::array<std::uint32_t, protocol::kTeachRows>> groupCellBackgrounds;
    std::vector<int> resetGroupCells; // indices into groupCells, ascending
    // Row labels of the teach table, the group table and the row table (same colours).
    std::array<std::uint32_t, protocol::kTeachRows> rowLabels{};
    std::array<std::uint32_t, kHoldRows> holdRowLabels{}; // one row lower: row 1 is HOLD FAIL
};

struct RuleDecision {
    ParameterControls controls;    // the values after the rules
    std::vector<int> changedWords; // ParameterWord indices whose value changed, ascending
    bool paraSetChanged = false;
    ControlLocks locks;
    std::vector<TriggerItem> triggerItems; // the full list to show
    bool triggerListChanged = false;       // the shown list differs from triggerListLength items
    DataPanelDisplays displays;
    bool hideBigGroupPanel = false;
    bool hideBigColourPanel = false;
    DataPages dataPages;
    std::array<std::string, 5> teachHeadings;
    std::array<bool, 5> teachHeadingVisible{};
    // Colour-limit outcome, notices in the order they are to be shown.
    std::vector<OperatorNotice> notices;
    std::optional<int> activateMainPage;
    std::optional<std::array<std::uint32_t, protocol::kTeachRows>> groupCellBackgrounds;
    std::vector<int> resetGroupCells;
    std::array<std::uint32_t, protocol::kTeachRows> rowLabels{};
    std::array<std::uint32_t, kHoldRows> holdRowLabels{};
};

// The whole rule chain R1..R6 over one snapshot.
RuleDecision ApplyParameterRules(const ParameterControls& controls);

// Rule R6 alone: MAX VEC NO and group-number limits, active-row marking.
ColorLimitCheck CheckColorLimits(const ParameterControls& controls);

// The TRIGGER items that belong in the list: CONT and SELF always, EXT1..PARA (values 2..6) only
// while EXTERN TEACH is OFF.
std::vector<TriggerItem> TriggerListItems(std::uint16_t externTeach);

// Data panel pages for the modes, given the page active now.
DataPages DataPageVisibility(std::uint16_t evaluationMode, std::uint16_t calculationMode,
                             int activePage);

// The two notices of the colour-limit check, character for character.
const std::string& MaxColTooHighText();
const std::string& GroupTooHighText();

} // namespace params
