// Rules R1..R5 and the assembly of one RuleDecision; R6 lives in ColorLimits.cpp.
#include "params/ParameterRules.h"

#include "params/TeachLayout.h"
#include "protocol/ParameterCodes.h"

namespace params {

namespace {

using Values = std::array<std::uint16_t, protocol::kParameterCount>;

constexpr std::uint16_t kCol5MaxVecNo = 5;
constexpr std::uint16_t kThdRgbMaxVecNo = 3; // one threshold row per channel

// R1: without light there is nothing to regulate; STAT1 and DYN1 each own part of the power
// controls.
void ApplyLightSourceRule(Values& v, ControlLocks& locks) {
    if (v[protocol::kLedMode] == protocol::kLedOff) {
        if (v[protocol::kExternTeach] == protocol::kExternTeachDyn1)
            v[protocol::kExternTeach] = protocol::kExternTeachOff;
        v[protocol::kPowerMode] = protocol::kPowerModeStat;
        v[protocol::kPower] = 0;
        locks.powerMode = locks.power = locks.dynWinLo = locks.dynWinHi = true;
        return;
    }
    if (v[protocol::kExternTeach] == protocol::kExternTeachDyn1) {
        v[protocol::kPowerMode] = protocol::kPowerModeStat;
        locks.powerMode = locks.power = true;
        locks.dynWinLo = locks.dynWinHi = false;
        return;
    }
    locks.powerMode = v[protocol::kExternTeach] == protocol::kExternTeachStat1;
    if (locks.powerMode) v[protocol::kPowerMode] = protocol::kPowerModeStat;
    const bool dynamic = v[protocol::kPowerMode] != protocol::kPowerModeStat;
    locks.power = dynamic;
    locks.dynWinLo = locks.dynWinHi = !dynamic;
}

void TakeColorCheck(RuleDecision& d, ParameterControls& c, ColorLimitCheck check) {
    c = check.controls;
    for (auto& notice : check.notices)
        d.notices.push_back(std::move(notice));
    if (check.activateMainPage) d.activateMainPage = check.activateMainPage;
    if (check.groupCellBackgrounds) d.groupCellBackgrounds = check.groupCellBackgrounds;
    d.resetGroupCells.insert(d.resetGroupCells.end(), check.resetGroupCells.begin(),
                             check.resetGroupCells.end());
    d.rowLabels = check.rowLabels;
    d.holdRowLabels = check.holdRowLabels;
}

// R2: COL5 and THD RGB drive the outputs directly, so groups, the colour count and the output
// coding are theirs; the other modes leave everything to the operator.
void ApplyEvaluationRule(ParameterControls& c, RuleDecision& d) {
    Values& v = c.values;
    ControlLocks& locks = d.locks;
    const std::uint16_t mode = v[protocol::kEvaluationMode];
    d.displays.deltaCAndColourNumber = mode < protocol::kEvalCol5;
    d.displays.outputIndicators = {};
    if (mode < protocol::kEvalCol5) return;
    v[protocol::kColorGroup] = 0;
    v[protocol::kDigitalOutmode] = protocol::kOutBinary;
    locks.colorGroup = locks.groupTable = locks.groupTableReset = true;
    locks.maxVecNo = locks.digitalOutmode = true;
    d.hideBigGroupPanel = true;
    if (mode == protocol::kEvalCol5) {
        v[protocol::kMaxVecNo] = kCol5MaxVecNo;
        d.displays.outputIndicators = {true, true, true, true, true};
    } else {
        v[protocol::kMaxVecNo] = kThdRgbMaxVecNo;
        v[protocol::kIntlim] = 0;
        v[protocol::kTrigger] = protocol::kTriggerCont;
        locks.intlim = locks.calculationMode = locks.trigger = true;
        d.displays.outputIndicators = {true, true, true, false, false};
        d.hideBigColourPanel = true;
    }
    TakeColorCheck(d, c, CheckColorLimits(c));
}

// Step 3: teach headings and the data pages follow the two modes.
void ApplyModeLayout(const ParameterControls& c, RuleDecision& d) {
    const std::uint16_t calc = c.values[protocol::kCalculationMode];
    const std::uint16_t eval = c.values[protocol::kEvaluationMode];
    d.teachHeadings = TeachColumnHeadings(calc, eval);
    d.teachHeadingVisible = TeachHeadingVisibility(calc, eval);
    d.dataPages = DataPageVisibility(eval, calc, c.dataActivePage);
    d.displays.colourCoordinates = !protocol::IsThdRgb(eval);
}

// R3: external teach uses the trigger input, so only CONT and SELF remain.
void ApplyTriggerListRule(ParameterControls& c, RuleDecision& d) {
    Values& v = c.values;
    if (v[protocol::kExternTeach] != protocol::kExternTeachOff &&
        v[protocol::kTrigger] > protocol::kTriggerSelf)
        v[protocol::kTrigger] = protocol::kTriggerCont;
    d.triggerItems = TriggerListItems(v[protocol::kExternTeach]);
    d.triggerListChanged = d.triggerItems.size() != c.triggerListLength;
    c.triggerListLength = d.triggerItems.size();
}

// R4: an external trigger excludes external teach; only PARA selects between parameter sets.
void ApplyTriggerRule(ParameterControls& c, RuleDecision& d) {
    Values& v = c.values;
    const bool externalTrigger = v[protocol::kTrigger] != protocol::kTriggerCont &&
                                 v[protocol::kTrigger] != protocol::kTriggerSelf;
    if (externalTrigger) v[protocol::kExternTeach] = protocol::kExternTeachOff;
    d.locks.externTeach = externalTrigger;
    d.locks.paraSetButtons = v[protocol::kTrigger] != protocol::kTriggerPara;
    if (d.locks.paraSetButtons) c.paraSet = 0;
    d.displays.triggerIndicator = v[protocol::kExternTeach] != protocol::kExternTeachOff ||
                                  v[protocol::kTrigger] != protocol::kTriggerCont;
}

// R5.
void ApplyGroupDisplayRule(const ParameterControls& c, RuleDecision& d) {
    const bool groupsOn = c.values[protocol::kColorGroup] != 0;
    d.displays.groupDisplay = groupsOn;
    if (!groupsOn) d.hideBigGroupPanel = true;
}

} // namespace

std::vector<TriggerItem> TriggerListItems(std::uint16_t externTeach) {
    std::vector<TriggerItem> items{{"CONT", protocol::kTriggerCont},
                                   {"SELF", protocol::kTriggerSelf}};
    if (externTeach != protocol::kExternTeachOff) return items;
    items.insert(items.end(), {{"EXT1", protocol::kTriggerExt1},
                               {"EXT2", protocol::kTriggerExt2},
                               {"EXT3", protocol::kTriggerExt3},
                               {"TRANS", protocol::kTriggerTrans},
                               {"PARA", protocol::kTriggerPara}});
    return items;
}

DataPages DataPageVisibility(std::uint16_t evaluationMode, std::uint16_t calculationMode,
                             int activePage) {
    DataPages pages;
    if (protocol::IsThdRgb(evaluationMode)) {
        pages.visible = {true, false, false, false};
        pages.activePage = kDataPageRgb;
        return pages;
    }
    const bool is3D = protocol::IsCalculation3D(calculationMode);
    pages.visible = {true, true, !is3D, is3D};
    pages.activePage = activePage;
    if (activePage == kDataPage2D || activePage == kDataPage3D)
        pages.activePage = is3D ? kDataPage3D : kDataPage2D;
    if (pages.activePage < kDataPageRgb || pages.activePage > kDataPage3D)
        pages.activePage = kDataPageRgb; // a page that does not exist cannot stay in front
    return pages;
}

RuleDecision ApplyParameterRules(const ParameterControls& controls) {
    RuleDecision d;
    ParameterControls c = controls;
    ApplyLightSourceRule(c.values, d.locks);
    ApplyEvaluationRule(c, d);
    ApplyModeLayout(c, d);
    ApplyTriggerListRule(c, d);
    ApplyTriggerRule(c, d);
    ApplyGroupDisplayRule(c, d);
    TakeColorCheck(d, c, CheckColorLimits(c));

    for (int word = 0; word < protocol::kParameterCount; ++word) {
        if (c.values[word] != controls.values[word]) d.changedWords.push_back(word);
    }
    d.paraSetChanged = c.paraSet != controls.paraSet;
    d.controls = c;
    return d;
}

} // namespace params
