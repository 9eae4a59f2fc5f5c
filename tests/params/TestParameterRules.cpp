#include "model/ParameterDefaults.h"
#include "params/ParameterRules.h"
#include "params/TeachLayout.h"
#include "protocol/ParameterCodes.h"

#include <QtTest>
#include <algorithm>

using namespace params;

namespace {

ParameterControls DefaultControls() {
    ParameterControls c;
    c.values = kDefaultParameters;
    c.triggerListLength = 7;
    c.groupCells.fill(0);
    c.paraSet = 0;
    c.dataActivePage = kDataPage3D;
    return c;
}

bool Changed(const RuleDecision& d, int word) {
    return std::find(d.changedWords.begin(), d.changedWords.end(), word) != d.changedWords.end();
}

QStringList Labels(const std::vector<TriggerItem>& items) {
    QStringList labels;
    for (const auto& item : items)
        labels << QString::fromStdString(item.label) + "=" + QString::number(item.value);
    return labels;
}

TeachTable TableOfRow(std::array<std::uint16_t, 8> words) {
    TeachTable table{};
    for (auto& row : table)
        row.w = words;
    return table;
}

} // namespace

class TestParameterRules : public QObject {
    Q_OBJECT

private slots:
    void defaultsPassTheRulesUnchanged() {
        const auto d = ApplyParameterRules(DefaultControls());
        QVERIFY(d.changedWords.empty());
        QVERIFY(d.notices.empty());
        QVERIFY(!d.activateMainPage);
        QVERIFY(!d.triggerListChanged);
        QVERIFY(!d.locks.power);
        QVERIFY(d.locks.dynWinLo && d.locks.paraSetButtons);
    }

    void ledOffWithDyn1TurnsExternTeachOffAndLocksPower() {
        auto c = DefaultControls();
        c.values[protocol::kLedMode] = protocol::kLedOff;
        c.values[protocol::kExternTeach] = protocol::kExternTeachDyn1;
        c.values[protocol::kPowerMode] = protocol::kPowerModeDyn;
        c.values[protocol::kPower] = 700;
        c.triggerListLength = 2; // external teach had shortened it
        const auto d = ApplyParameterRules(c);
        QCOMPARE(int(d.controls.values[protocol::kExternTeach]), int(protocol::kExternTeachOff));
        QCOMPARE(int(d.controls.values[protocol::kPower]), 0);
        QCOMPARE(int(d.controls.values[protocol::kPowerMode]), int(protocol::kPowerModeStat));
        QVERIFY(d.locks.power && d.locks.powerMode && d.locks.dynWinLo && d.locks.dynWinHi);
        QVERIFY(Changed(d, protocol::kExternTeach) && Changed(d, protocol::kPower) &&
                Changed(d, protocol::kPowerMode));
        QVERIFY(d.triggerListChanged);
        QCOMPARE(d.triggerItems.size(), std::size_t(7));
        QVERIFY(!d.displays.triggerIndicator);
    }

    void powerLocksFollowLightSourceAndExternTeach_data() {
        QTest::addColumn<int>("led");
        QTest::addColumn<int>("teach");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("modeAfter");
        QTest::addColumn<QString>("locks"); // powerMode power dynWin, L locked F free
        QTest::newRow("static") << 0 << 0 << 0 << 0 << "FFL";
        QTest::newRow("dynamic") << 0 << 0 << 1 << 1 << "FLF";
        QTest::newRow("teach on keeps dynamic") << 1 << 1 << 1 << 1 << "FLF";
        QTest::newRow("STAT1 forces static") << 2 << 2 << 1 << 0 << "LFL";
        QTest::newRow("DYN1 regulates itself") << 0 << 3 << 1 << 0 << "LLF";
        QTest::newRow("LED off with STAT1") << 3 << 2 << 1 << 0 << "LLL";
        QTest::newRow("stray power mode counts as dynamic") << 0 << 0 << 65535 << 65535 << "FLF";
    }
    void powerLocksFollowLightSourceAndExternTeach() {
        QFETCH(int, led);
        QFETCH(int, teach);
        QFETCH(int, mode);
        QFETCH(int, modeAfter);
        QFETCH(QString, locks);
        auto c = DefaultControls();
        c.values[protocol::kLedMode] = std::uint16_t(led);
        c.values[protocol::kExternTeach] = std::uint16_t(teach);
        c.values[protocol::kPowerMode] = std::uint16_t(mode);
        const auto d = ApplyParameterRules(c);
        QCOMPARE(int(d.controls.values[protocol::kPowerMode]), modeAfter);
        const auto mark = [](bool locked) { return locked ? QChar('L') : QChar('F'); };
        QString actual;
        actual += mark(d.locks.powerMode);
        actual += mark(d.locks.power);
        actual += mark(d.locks.dynWinLo);
        QCOMPARE(actual, locks);
        QCOMPARE(d.locks.dynWinHi, d.locks.dynWinLo);
    }

    void externTeachShrinksTheTriggerListAndOffRestoresIt() {
        auto c = DefaultControls();
        c.values[protocol::kTrigger] = protocol::kTriggerExt2;
        c.values[protocol::kExternTeach] = protocol::kExternTeachOn;
        auto d = ApplyParameterRules(c);
        QCOMPARE(int(d.controls.values[protocol::kTrigger]), int(protocol::kTriggerCont));
        QCOMPARE(int(d.controls.values[protocol::kExternTeach]), int(protocol::kExternTeachOn));
        QCOMPARE(Labels(d.triggerItems), (QStringList{"CONT=0", "SELF=1"}));
        QVERIFY(d.triggerListChanged);
        QVERIFY(!d.locks.externTeach);

        c = d.controls;
        c.values[protocol::kExternTeach] = protocol::kExternTeachOff;
        d = ApplyParameterRules(c);
        QCOMPARE(Labels(d.triggerItems), (QStringList{"CONT=0", "SELF=1", "EXT1=2", "EXT2=3",
                                                      "EXT3=4", "TRANS=5", "PARA=6"}));
        QVERIFY(d.triggerListChanged);

        d = ApplyParameterRules(d.controls);
        QVERIFY(!d.triggerListChanged);
    }

    void externalTriggerLocksExternTeach_data() {
        QTest::addColumn<int>("trigger");
        QTest::addColumn<int>("teach");
        QTest::addColumn<int>("triggerAfter");
        QTest::addColumn<int>("teachAfter");
        QTest::addColumn<bool>("teachLocked");
        QTest::newRow("CONT") << 0 << 1 << 0 << 1 << false;
        QTest::newRow("SELF") << 1 << 2 << 1 << 2 << false;
        QTest::newRow("EXT1") << 2 << 0 << 2 << 0 << true;
        QTest::newRow("PARA") << 6 << 0 << 6 << 0 << true;
        QTest::newRow("extern teach wins over TRANS") << 5 << 1 << 0 << 1 << false;
        QTest::newRow("stray trigger") << 65535 << 0 << 65535 << 0 << true;
    }
    void externalTriggerLocksExternTeach() {
        QFETCH(int, trigger);
        QFETCH(int, teach);
        QFETCH(int, triggerAfter);
        QFETCH(int, teachAfter);
        QFETCH(bool, teachLocked);
        auto c = DefaultControls();
        c.values[protocol::kTrigger] = std::uint16_t(trigger);
        c.values[protocol::kExternTeach] = std::uint16_t(teach);
        c.triggerListLength = teach != 0 ? 2 : 7;
        const auto d = ApplyParameterRules(c);
        QCOMPARE(int(d.controls.values[protocol::kTrigger]), triggerAfter);
        QCOMPARE(int(d.controls.values[protocol::kExternTeach]), teachAfter);
        QCOMPARE(d.locks.externTeach, teachLocked);
        QCOMPARE(d.displays.triggerIndicator, triggerAfter != 0 || teachAfter != 0);
    }

    void onlyParaTriggerKeepsParameterSetOne_data() {
        QTest::addColumn<int>("trigger");
        QTest::addColumn<int>("setAfter");
        QTest::newRow("PARA") << 6 << 1;
        QTest::newRow("SELF") << 1 << 0;
        QTest::newRow("TRANS") << 5 << 0;
    }
    void onlyParaTriggerKeepsParameterSetOne() {
        QFETCH(int, trigger);
        QFETCH(int, setAfter);
        auto c = DefaultControls();
        c.values[protocol::kTrigger] = std::uint16_t(trigger);
        c.paraSet = 1;
        const auto d = ApplyParameterRules(c);
        QCOMPARE(int(d.controls.paraSet), setAfter);
        QCOMPARE(d.paraSetChanged, setAfter != 1);
        QCOMPARE(d.locks.paraSetButtons, trigger != 6);
    }

    void col5ForcesFiveBinaryColoursWithoutGroups() {
        auto c = DefaultControls();
        c.values[protocol::kEvaluationMode] = protocol::kEvalCol5;
        c.values[protocol::kColorGroup] = 1;
        c.values[protocol::kMaxVecNo] = 20;
        c.values[protocol::kDigitalOutmode] = 0;
        c.groupCells.fill(17);
        const auto d = ApplyParameterRules(c);
        QCOMPARE(int(d.controls.values[protocol::kMaxVecNo]), 5);
        QCOMPARE(int(d.controls.values[protocol::kDigitalOutmode]), int(protocol::kOutBinary));
        QCOMPARE(int(d.controls.values[protocol::kColorGroup]), 0);
        QVERIFY(d.locks.maxVecNo && d.locks.digitalOutmode && d.locks.colorGroup);
        QVERIFY(d.locks.groupTable && d.locks.groupTableReset);
        QVERIFY(!d.locks.intlim && !d.locks.calculationMode && !d.locks.trigger);
        QVERIFY(d.notices.empty());
        QVERIFY(!d.groupCellBackgrounds); // groups are off, their cells are not checked
        QCOMPARE(int(d.controls.groupCells[0]), 17);
        QVERIFY(!d.displays.deltaCAndColourNumber && !d.displays.groupDisplay);
        QCOMPARE(d.displays.outputIndicators, (std::array<bool, 5>{true, true, true, true, true}));
        QVERIFY(d.hideBigGroupPanel && !d.hideBigColourPanel);
        QVERIFY(d.displays.colourCoordinates);
    }

    void thdRgbForcesThreeThresholdRowsAndContinuousTrigger_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("THD RGB") << 4;
        QTest::newRow("stray mode above it") << 65535;
    }
    void thdRgbForcesThreeThresholdRowsAndContinuousTrigger() {
        QFETCH(int, mode);
        auto c = DefaultControls();
        c.values[protocol::kEvaluationMode] = std::uint16_t(mode);
        c.values[protocol::kIntlim] = 300;
        c.values[protocol::kTrigger] = protocol::kTriggerPara;
        c.values[protocol::kCalculationMode] = protocol::kCalcXyInt3D;
        c.paraSet = 1;
        c.dataActivePage = kDataPageInt;
        const auto d = ApplyParameterRules(c);
        QCOMPARE(int(d.controls.values[protocol::kMaxVecNo]), 3);
        QCOMPARE(int(d.controls.values[protocol::kIntlim]), 0);
        QCOMPARE(int(d.controls.values[protocol::kTrigger]), int(protocol::kTriggerCont));
        QCOMPARE(int(d.controls.values[protocol::kCalculationMode]), int(protocol::kCalcXyInt3D));
        QCOMPARE(int(d.controls.paraSet), 0);
        QVERIFY(d.locks.intlim && d.locks.calculationMode && d.locks.trigger);
        QCOMPARE(d.displays.outputIndicators,
                 (std::array<bool, 5>{true, true, true, false, false}));
        QVERIFY(!d.displays.colourCoordinates && !d.displays.deltaCAndColourNumber);
        QVERIFY(d.hideBigGroupPanel && d.hideBigColourPanel);
        QCOMPARE(d.dataPages.visible, (std::array<bool, 4>{true, false, false, false}));
        QCOMPARE(d.dataPages.activePage, int(kDataPageRgb));
        QCOMPARE(QString::fromStdString(d.teachHeadings[0]), QString("THD"));
    }

    void maxVecNoLimitFollowsOutputMode_data() {
        QTest::addColumn<int>("outmode");
        QTest::addColumn<int>("maxVecNo");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("notices");
        QTest::newRow("direct 6") << 0 << 6 << 5 << 1;
        QTest::newRow("other direct 6") << 2 << 6 << 5 << 1;
        QTest::newRow("direct 5") << 0 << 5 << 5 << 0;
        QTest::newRow("binary 31") << 1 << 31 << 31 << 0;
        QTest::newRow("binary 32") << 1 << 32 << 31 << 1;
        QTest::newRow("binary 65535") << 1 << 65535 << 31 << 1;
    }
    void maxVecNoLimitFollowsOutputMode() {
        QFETCH(int, outmode);
        QFETCH(int, maxVecNo);
        QFETCH(int, after);
        QFETCH(int, notices);
        auto c = DefaultControls();
        c.values[protocol::kDigitalOutmode] = std::uint16_t(outmode);
        c.values[protocol::kMaxVecNo] = std::uint16_t(maxVecNo);
        const auto d = ApplyParameterRules(c);
        QCOMPARE(int(d.controls.values[protocol::kMaxVecNo]), after);
        QCOMPARE(int(d.notices.size()), notices);
        QCOMPARE(d.activateMainPage.has_value(), notices > 0);
        if (notices == 0) return;
        QCOMPARE(*d.activateMainPage, int(kMainPageParameters));
        QCOMPARE(QString::fromStdString(d.notices[0].title), QString("INFO!"));
        QCOMPARE(QString::fromStdString(d.notices[0].text),
                 QString::fromStdString(MaxColTooHighText()));
    }

    void noticeTextsAreExact() {
        QCOMPARE(QString::fromStdString(MaxColTooHighText()),
                 QString("ATTENTION! \n\nMAXCOL-No. is too high. \n\nIf color group is disabled "
                         "and OUMODE=DIRECT LO or \nDIRECT HI, the maximum number is 5. \nIf "
                         "OUTMODE=BINARY, the maximum number is 31. \n\nIf color group is "
                         "enabled, the maximum number is 31. \n\nMAXCOL-No. will be set to "
                         "maximum value."));
        QCOMPARE(QString::fromStdString(GroupTooHighText()),
                 QString("ATTENTION! \nIf OUTMODE=DIRECT HI or DIRECT LO: \n5 groups are "
                         "possible! GROUP 0,1,2,3,4. \nIf OUTMODE=BINARY: \n31 groups are "
                         "possible. GROUP 0,1,2.....30. \n\n Cell will be set to 0."));
    }

    void groupCellsOverTheLimitTurnRedWithOneMessage() {
        auto c = DefaultControls();
        c.values[protocol::kColorGroup] = 1;
        c.values[protocol::kDigitalOutmode] = 0;
        c.values[protocol::kMaxVecNo] = 6;
        c.groupCells.fill(4);
        c.groupCells[2] = 5;  // row 3
        c.groupCells[8] = 12; // row 9
        const auto d = ApplyParameterRules(c);
        QCOMPARE(d.resetGroupCells, (std::vector<int>{2, 8}));
        QCOMPARE(int(d.controls.groupCells[2]), 0);
        QCOMPARE(int(d.controls.groupCells[8]), 0);
        QCOMPARE(int(d.controls.groupCells[3]), 4);
        QVERIFY(d.groupCellBackgrounds);
        for (int i = 0; i < protocol::kTeachRows; ++i) {
            const bool red = i == 2 || i == 8;
            QCOMPARE((*d.groupCellBackgrounds)[i], red ? kColourCellReset : kColourCellPlain);
        }
        QCOMPARE(d.notices.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(d.notices[0].text),
                 QString::fromStdString(GroupTooHighText()));
        QCOMPARE(*d.activateMainPage, int(kMainPageGroupHold));
        QCOMPARE(int(d.controls.values[protocol::kMaxVecNo]), 6);
        QVERIFY(d.displays.groupDisplay && !d.hideBigGroupPanel);
    }

    void binaryOutputAllowsGroupThirty() {
        auto c = DefaultControls();
        c.values[protocol::kColorGroup] = 1;
        c.values[protocol::kDigitalOutmode] = protocol::kOutBinary;
        c.groupCells.fill(30);
        c.groupCells[30] = 31;
        c.groupCells[0] = 65535;
        const auto check = CheckColorLimits(c);
        QCOMPARE(check.resetGroupCells, (std::vector<int>{0, 30}));
        QCOMPARE(check.notices.size(), std::size_t(1));
        QCOMPARE(int(check.controls.groupCells[15]), 30);
    }

    void strayColorGroupValueCountsAsOn() {
        auto c = DefaultControls();
        c.values[protocol::kColorGroup] = 65535;
        c.values[protocol::kMaxVecNo] = 20;
        c.groupCells[4] = 9;
        const auto d = ApplyParameterRules(c);
        QCOMPARE(int(d.controls.values[protocol::kMaxVecNo]), 20);
        QCOMPARE(d.resetGroupCells, (std::vector<int>{4}));
        QVERIFY(d.displays.groupDisplay);
    }

    void rowLabelsMarkActiveRowsWithHoldOneLower_data() {
        QTest::addColumn<int>("maxVecNo");
        QTest::addColumn<int>("colorGroup");
        QTest::addColumn<int>("greenRows");
        QTest::addColumn<int>("greenHoldRows");
        QTest::newRow("four rows") << 4 << 0 << 4 << 5;
        QTest::newRow("none") << 0 << 0 << 0 << 1;
        QTest::newRow("all") << 31 << 1 << 31 << 32;
        QTest::newRow("65535 with groups does not wrap") << 65535 << 1 << 31 << 32;
        QTest::newRow("corrected value is the one marked") << 9 << 0 << 5 << 6;
    }
    void rowLabelsMarkActiveRowsWithHoldOneLower() {
        QFETCH(int, maxVecNo);
        QFETCH(int, colorGroup);
        QFETCH(int, greenRows);
        QFETCH(int, greenHoldRows);
        auto c = DefaultControls();
        c.values[protocol::kMaxVecNo] = std::uint16_t(maxVecNo);
        c.values[protocol::kColorGroup] = std::uint16_t(colorGroup);
        const auto d = ApplyParameterRules(c);
        for (int i = 0; i < protocol::kTeachRows; ++i)
            QCOMPARE(d.rowLabels[i], i < greenRows ? kColourActiveRow : kColourInactiveRow);
        for (int i = 0; i < kHoldRows; ++i)
            QCOMPARE(d.holdRowLabels[i], i < greenHoldRows ? kColourActiveRow : kColourInactiveRow);
    }

    void dataPagesFollowTheModes_data() {
        QTest::addColumn<int>("eval");
        QTest::addColumn<int>("calc");
        QTest::addColumn<int>("active");
        QTest::addColumn<QString>("visible");
        QTest::addColumn<int>("activeAfter");
        QTest::newRow("2D stays 2D") << 1 << 0 << 2 << "1110" << 2;
        QTest::newRow("0 to 2 moves 2D to 3D") << 1 << 2 << 2 << "1101" << 3;
        QTest::newRow("3D back to 2D") << 0 << 1 << 3 << "1110" << 2;
        QTest::newRow("INT page stays") << 2 << 3 << 1 << "1101" << 1;
        QTest::newRow("RGB page stays") << 3 << 0 << 0 << "1110" << 0;
        QTest::newRow("THD leaves only RGB") << 4 << 0 << 1 << "1000" << 0;
        QTest::newRow("stray calculation mode shows 2D") << 1 << 65535 << 3 << "1110" << 2;
        QTest::newRow("unknown page falls back to RGB") << 1 << 0 << 7 << "1110" << 0;
    }
    void dataPagesFollowTheModes() {
        QFETCH(int, eval);
        QFETCH(int, calc);
        QFETCH(int, active);
        QFETCH(QString, visible);
        QFETCH(int, activeAfter);
        auto c = DefaultControls();
        c.values[protocol::kEvaluationMode] = std::uint16_t(eval);
        c.values[protocol::kCalculationMode] = std::uint16_t(calc);
        c.dataActivePage = active;
        const auto pages = ApplyParameterRules(c).dataPages;
        QString shown;
        for (bool v : pages.visible)
            shown += v ? '1' : '0';
        QCOMPARE(shown, visible);
        QCOMPARE(pages.activePage, activeAfter);
    }

    void teachHeadingsFollowTheModes_data() {
        QTest::addColumn<int>("calc");
        QTest::addColumn<int>("eval");
        QTest::addColumn<QString>("headings");
        QTest::addColumn<QString>("shown");
        QTest::newRow("X Y INT 2D") << 0 << 1 << "X|Y|CTO|INT|ITO"
                                    << "11111";
        QTest::newRow("s i M 2D") << 1 << 0 << "s|i|siTO|M|MTO"
                                  << "11111";
        QTest::newRow("X Y INT 3D") << 2 << 3 << "X|Y|INT|TOL|"
                                    << "11111";
        QTest::newRow("s i M 3D") << 3 << 1 << "s|i|M|TOL|"
                                  << "11111";
        QTest::newRow("THD RGB in 3D") << 3 << 4 << "THD||||"
                                       << "11111";
        QTest::newRow("MIN DIST 2D hides CTO") << 0 << 2 << "X|Y|CTO|INT|ITO"
                                               << "11011";
        QTest::newRow("MIN DIST 3D hides TOL") << 3 << 2 << "s|i|M|TOL|"
                                               << "11101";
    }
    void teachHeadingsFollowTheModes() {
        QFETCH(int, calc);
        QFETCH(int, eval);
        QFETCH(QString, headings);
        QFETCH(QString, shown);
        auto c = DefaultControls();
        c.values[protocol::kCalculationMode] = std::uint16_t(calc);
        c.values[protocol::kEvaluationMode] = std::uint16_t(eval);
        const auto d = ApplyParameterRules(c);
        QStringList texts;
        QString flags;
        for (int k = 0; k < 5; ++k) {
            texts << QString::fromStdString(d.teachHeadings[k]);
            flags += d.teachHeadingVisible[k] ? '1' : '0';
        }
        QCOMPARE(texts.join('|'), headings);
        QCOMPARE(flags, shown);
    }

    void conversionBetween2DAnd3D_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<QList<int>>("after");
        const QList<int> row2D{100, 200, 10, 1000, 50};
        const QList<int> row3D{100, 200, 1000, 10, 1};
        QTest::newRow("2D to 3D") << 0 << 2 << row2D << row3D;
        QTest::newRow("s i M 2D to X Y INT 3D") << 1 << 2 << row2D << row3D;
        QTest::newRow("3D to 2D") << 2 << 0 << row3D << QList<int>{100, 200, 10, 1000, 10};
        QTest::newRow("within 2D") << 0 << 1 << row2D << row2D;
        QTest::newRow("within 3D") << 3 << 2 << row3D << row3D;
        QTest::newRow("largest values")
            << 0 << 3 << QList<int>{65535, 0, 65535, 1, 65535} << QList<int>{65535, 0, 1, 65535, 1};
    }
    void conversionBetween2DAnd3D() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after);
        std::array<std::uint16_t, 8> words{0, 0, 0, 0, 0, 7, 33, 0xBEEF};
        for (int k = 0; k < 5; ++k)
            words[k] = std::uint16_t(before[k]);
        const auto converted =
            ConvertTeachTable(std::uint16_t(from), std::uint16_t(to), TableOfRow(words));
        for (const auto& row : converted) {
            QList<int> cells;
            for (int k = 0; k < 5; ++k)
                cells << row.w[k];
            QCOMPARE(cells, after);
            QCOMPARE(int(row.w[5]), 7);
            QCOMPARE(int(row.w[6]), 33);
            QCOMPARE(int(row.w[7]), 0xBEEF);
        }
    }

    void roundTrip2DTo3DTo2DLosesTheIntensityTolerance() {
        const auto start = TableOfRow({100, 200, 10, 1000, 50, 0, 10, 0});
        const auto back = ConvertTeachTable(2, 0, ConvertTeachTable(0, 2, start));
        QCOMPARE(int(back[12].w[2]), 10);
        QCOMPARE(int(back[12].w[3]), 1000);
        QCOMPARE(int(back[12].w[4]), 10);
    }

    void everyFieldAtItsLargestValueStaysConsistent() {
        ParameterControls c;
        c.values.fill(65535);
        c.groupCells.fill(65535);
        c.triggerListLength = 65535;
        c.paraSet = 65535;
        c.dataActivePage = 65535;
        const auto d = ApplyParameterRules(c);
        // Evaluation 65535 is THD RGB; extern teach 65535 is on and keeps the short list.
        QCOMPARE(int(d.controls.values[protocol::kMaxVecNo]), 3);
        QCOMPARE(int(d.controls.values[protocol::kTrigger]), int(protocol::kTriggerCont));
        QCOMPARE(int(d.controls.values[protocol::kColorGroup]), 0);
        QCOMPARE(int(d.controls.paraSet), 0);
        QCOMPARE(Labels(d.triggerItems), (QStringList{"CONT=0", "SELF=1"}));
        QCOMPARE(d.dataPages.activePage, int(kDataPageRgb));
        QVERIFY(d.notices.empty());
        QCOMPARE(d.rowLabels[2], kColourActiveRow);
        QCOMPARE(d.rowLabels[3], kColourInactiveRow);
        QCOMPARE(d.holdRowLabels[3], kColourActiveRow);
        QCOMPARE(d.holdRowLabels[4], kColourInactiveRow);
    }
};

QTEST_APPLESS_MAIN(TestParameterRules)
#include "TestParameterRules.moc"
