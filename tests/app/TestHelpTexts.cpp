#include "app/AppHelp.h"
#include "calibration/CalibrationHelp.h"
#include "commpage/LinkHelp.h"
#include "core/HelpBook.h"
#include "live/LiveHelp.h"
#include "params/ParameterHelp.h"
#include "recorder/RecorderHelp.h"
#include "scope/ScopeHelp.h"
#include "settings/SettingsHelp.h"
#include "teach/TeachHelp.h"

#include <QtTest>
#include <set>
#include <string>
#include <vector>

using core::HelpEntry;
using teach::kTeachTableHelpTitle;
using teach::TeachTableHelpText;

namespace {

// Every subsystem's help, as the whole program will offer it.
const core::HelpBook& Book() {
    static const core::HelpBook book = [] {
        core::HelpBook all;
        for (const auto& table :
             {app::AppHelp(), comm::LinkHelp(), params::ParameterHelp(), live::LiveHelp(),
              live::GraphPanelHelp(), settings::SettingsHelp(), teach::TeachHelp(),
              recorder::RecorderHelp(), calibration::CalibrationHelp(), calibration::OffsetHelp(),
              scope::ScopeHelp()})
            all.Add(table);
        return all;
    }();
    return book;
}

const HelpEntry* FindHelpText(std::string_view name) {
    return Book().Find(name);
}

// Every operator control that explains itself on a right click, in panel order.
const std::vector<std::string> kControlsWithHelp = {
    "CBF_TabMain1",
    "CBF_ButtonSend",
    "CBF_ButtonGet",
    "CBF_ButtonGo",
    "CBF_ButtonStop",
    "CBF_SelectMem",
    "CBF_SelectParaSet",
    "CBF_ButtonTryToConnect",
    "CBF_ButtonAccept",
    "CBF_ButtonChangeBaudrate",
    "CBF_ButtonGenHwInfoFile",
    "CBF_EditCommunicationProtocol",
    "CBF_EditSelectComPort",
    "CBF_EditSelectBaudrate",
    "CBF_StringIpAdress",
    "CBF_StringPortNumber",
    "CBF_EditID",
    "CBF_ButtonMonitor",
    "CBF_ButtonMonitorPause",
    "CBF_ButtonMonitorClear",
    "CBF_ButtonMonitorSave",
    "CBF_ButtonMonitorClose",
    "CBF_SlidePower",
    "CBF_EditPmode",
    "CBF_EditLedMode",
    "CBF_EditGain",
    "CBF_EditDynWinLoHi",
    "CBF_EditAverage",
    "CBF_EditIntegral",
    "CBF_EditMaxVecNo",
    "CBF_EditDigOutmode",
    "CBF_EditIntlim",
    "CBF_EditEvalmode",
    "CBF_EditCalcmode",
    "CBF_EditExteach",
    "CBF_EditTrigger",
    "CBF_EditHold",
    "CBF_EditGridHold",
    "CBF_EditColorGroups",
    "CBF_EditResetHold",
    "CBF_ButtonResetGroupTable",
    "CBF_ButtonResetHoldTable",
    "CBF_EditNo",
    "CBF_RadioInc",
    "CBF_ButtonResetTable",
    "CBF_ButtonTeachDataTo",
    "CBF_ButtonSelRecFile",
    "CBF_DispRecFile",
    "CBF_ButtonStartRecord",
    "CBF_ButtonStopRecord",
    "CBF_ButtonStartTrigRec",
    "CBF_ButtonManualRecord",
    "CBF_EditSelectDataRec",
    "CBF_EditInterval",
    "CBF_EditRecVal",
    "CBF_DispRecordTime",
    "CBF_DispRecordedValues",
    "CBF_DispRemaining",
    "CBF_ButtonSendCF",
    "CBF_ButtonGetCF",
    "CBF_ButtonCalcCF",
    "CBF_ButtonStartSelfCalibration",
    "CBF_EditCFR",
    "CBF_EditCFG",
    "CBF_EditCFB",
    "CBF_EditSetValue",
    "CBF_EditMaxDelta",
    "CBF_DispBarsRAW",
    "CBF_DispRawDelta",
    "CBF_DispBars",
    "CBF_DispTemp",
    "CBF_EditSetColor",
    "CBF_EditRow",
    "CBF_EditColorNumericRow",
    "CBF_ButtonSetRowColor",
    "CBF_ButtonSaveArray",
    "CBF_ButtonGetArray",
    "CBF_ButtonTableAttrReset",
    "CBF_ButtonCloseOffsetCompensation",
    "CBF_ButtonSendOffset",
    "CBF_ButtonGetOffset",
    "CBF_ButtonCalcOffset",
    "CBF_EditRedOffset",
    "CBF_EditGreenOffset",
    "CBF_EditBlueOffset",
    "CBF_DispRedOffset",
    "CBF_DispGreenOffset",
    "CBF_DispBlueOffset",
    "CBF_ButtonGetCycleTime",
    "CBF_ButtonScan",
    "CBF_ButtonBreakScan",
    "CBF_ButtonPrintScopeGraph",
    "CBF_EditTriggerMode",
    "CBF_EditScopeRecSignal",
    "CBF_EditPreTrigVal",
    "CBF_EditTriggerLevel",
    "CBF_EditScanRate",
    "CBF_DispScanFreq",
    "CBF_ButtonCloseSP",
    "CBF_ButtonZoom11",
    "CBF_EditScopeSignal",
    "CBF_GraphScope",
    "CBF_DispDeltaX",
    "CBF_DispDeltaY",
    "CBF_TabDataP1",
    "CBF_DispX",
    "CBF_DispY",
    "CBF_DispINT",
    "CBF_DispRGB",
    "CBF_DispMinMaxRGB",
    "CBF_DispDeltaC",
    "CBF_DispCOL",
    "CBF_DispGroup",
    "CBF_LedTrig",
    "CBF_DispRED",
    "CBF_DispGREEN",
    "CBF_DispBLUE",
    "CBF_GraphRGB",
    "CBF_GraphINT1",
    "CBF_Graph2D",
    "CBF_Graph3D",
    "CBF_ButtonShowGraph",
    "CBF_ButtonGpClose",
    "CBF_EditSignal",
    "CBF_PanelGraphGraph",
    "CBF_ButtonTeachMeanVal",
    "CBF_ButtonTP1Capture",
    "CBF_ButtonTP1Undo",
    "CBF_ButtonTP1ResetTable",
    "CBF_ButtonTP1Teach",
    "CBF_GridTP1Values",
    "CBF_GridTP1Mean",
    "CBF_DispTP1Counter",
    "CBF_DispTP1MaxDeltaXY",
    "CBF_DispTP1MaxDeltaInt",
    "CBF_EditTP1TeachCtoWith",
    "CBF_EditTP1TeachItoWith",
    "CBF_EditTP1ValueCto",
    "CBF_EditTP1ValueIto",
    "CBF_ButtonCloseTeachPanel",
    "CBF_ButtonTeachRecVal",
    "CBF_ButtonTP2Start",
    "CBF_ButtonTP2Stop",
    "CBF_ButtonTP2Reset",
    "CBF_ButtonTP2Teach",
    "CBF_GraphXYTP2",
    "CBF_GraphXIntTP2",
    "CBF_GraphYIntTP2",
    "CBF_DispTP2Counter",
};

const std::vector<std::string> kTableAttributeControls = {
    "CBF_EditSetColor",    "CBF_EditRow",        "CBF_EditColorNumericRow", "CBF_ButtonSetRowColor",
    "CBF_ButtonSaveArray", "CBF_ButtonGetArray", "CBF_ButtonTableAttrReset"};

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined += '\n';
        joined += lines[i];
    }
    return joined;
}

std::string TextOf(const char* callbackName) {
    const HelpEntry* entry = FindHelpText(callbackName);
    return entry != nullptr && entry->text != nullptr ? entry->text : std::string("<missing>");
}

} // namespace

class TestHelpTexts : public QObject {
    Q_OBJECT

private slots:
    void everyListedControlHasANonEmptyText() {
        for (const auto& name : kControlsWithHelp) {
            const HelpEntry* entry = FindHelpText(name);
            QVERIFY2(entry != nullptr, name.c_str());
            QVERIFY2(entry->title != nullptr && entry->text != nullptr, name.c_str());
            QVERIFY2(std::string(entry->text).size() > 0, name.c_str());
        }
    }

    void listedNamesAreExactlyTheControlsWithAnEntry() {
        const auto names = Book().Names();
        QCOMPARE(names.size(), std::size_t(149));
        QCOMPARE(names.size(), kControlsWithHelp.size());
        const std::set<std::string_view> unique(names.begin(), names.end());
        QCOMPARE(unique.size(), names.size());
        // Each subsystem keeps its own entries, so the book's order is theirs; the set is what
        // counts.
        const std::set<std::string> listed(kControlsWithHelp.begin(), kControlsWithHelp.end());
        for (const auto name : names)
            QVERIFY2(listed.count(std::string(name)) == 1, std::string(name).c_str());
    }

    void controlsWithoutHelpGiveNull_data() {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"CBF_MAINP", "CBF_DATAP", "CBF_GRAPHP", "CBF_SCOPEP", "CBF_TEACHP1", "CBF_TEACHP2",
              "CBF_PASSWORDP", "CBF_COLBIGP", "CBF_GRPBIGP", "CBF_EditGridGroups",
              "CBF_DecoCalibrate1", "CBF_EditScopeComment", "CBF_DispStatus", "CBF_StringEnterPW",
              "CBF_GridCtt"})
            QTest::newRow(name) << QString(name);
        QTest::newRow("unknown name") << "CBF_ButtonLaunch";
        QTest::newRow("empty name") << "";
        QTest::newRow("wrong case") << "cbf_buttongo";
        QTest::newRow("trailing blank") << "CBF_ButtonGo ";
        QTest::newRow("prefix of a name") << "CBF_Button";
    }
    void controlsWithoutHelpGiveNull() {
        QFETCH(QString, name);
        QVERIFY(FindHelpText(name.toStdString()) == nullptr);
    }

    void fullTextsAreStoredByteForByte_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("GO")
            << QByteArray("CBF_ButtonGo")
            << QByteArray("Starts data transfer from sensor to PC. \n\nShortcut Key: F11. ");
        QTest::newRow("SEND")
            << QByteArray("CBF_ButtonSend")
            << QByteArray("All the parameters of the PC-User-Interface are transferred to "
                          "the sensor or to a selectable file. \nThe target of the "
                          "parameter transfer is determined by the select button (RAM, "
                          "EEPROM, FILE). \n\nShortcut Key: F9. ");
        QTest::newRow("delta C")
            << QByteArray("CBF_DispDeltaC")
            << QByteArray("Displays the distance to a COLOR HIT. \nWhen no color is "
                          "detected, delta C depends on the EVALUATION MODE as follows: "
                          "\nFIRST HIT: delta C is the distance to the last enabled row in "
                          "the TEACH TABLE. \nBEST HIT and MIN DIST: delta C is -1. \nWhen "
                          "INT or M is lower than INTLIM, delta C is set to -1.");
        QTest::newRow("gain keeps its spelling")
            << QByteArray("CBF_EditGain")
            << QByteArray("Select a amplification stage of the receicer. \nAMP1 is the lowest "
                          "amplification. \nAMP8 is the highest amplification. ");
        QTest::newRow("interval keeps its spelling")
            << QByteArray("CBF_EditInterval")
            << QByteArray("Choose a interval in secondes for recording. \nMinimum interval is 0,25 "
                          "second.");
        QTest::newRow("led mode") << QByteArray("CBF_EditLedMode")
                                  << QByteArray(
                                         "Select the LED operation mode. \nDC: Light source is "
                                         "permanant on. \nAC: Light source is modulated. \nPULSE: "
                                         "Light source is pulsed. \nOFF: Light source is off.");
        QTest::newRow("group display without blank before break")
            << QByteArray("CBF_DispGroup")
            << QByteArray(
                   "Displays the current detected color group. \nDouble click opens a big display. "
                   "\nClose the big display with a right mouse click.\n\nFailure condition is "
                   "255.");
        QTest::newRow("scope graph")
            << QByteArray("CBF_GraphScope")
            << QByteArray("Displays record results.\nRed line is RED or X or s. \n"
                          "Green line is GREEN or Y or i. \nBlue line is BLUE or INT "
                          "or M. \n\nUpdate display deltaX and deltaY by moving the "
                          "cursors. \nZoom in: <Ctrl>+Left Mouse Button (drag to "
                          "select).\nZoom out: Press ZOOM 1:1.");
        QTest::newRow("print") << QByteArray("CBF_ButtonPrintScopeGraph")
                               << QByteArray("Print settings,scope graph and comment.");
        QTest::newRow("main tabs")
            << QByteArray("CBF_TabMain1") << QByteArray("Select TAB-window.");
        QTest::newRow("GET")
            << QByteArray("CBF_ButtonGet")
            << QByteArray("Sensor or file parameters are transferred to the PC-User-Interface. "
                          "\nThe source of the parameter transfer is determined by the select "
                          "button (RAM, EEPROM, FILE). \n\nShortcut Key: F10. ");
        QTest::newRow("STOP")
            << QByteArray("CBF_ButtonStop")
            << QByteArray("Stops data transfer from sensor to PC. \n\nShortcut Key: F12. ");
        QTest::newRow("memory selector")
            << QByteArray("CBF_SelectMem")
            << QByteArray("Select source respectively the target for the parameter transfer.");
        QTest::newRow("parameter set keeps its spelling")
            << QByteArray("CBF_SelectParaSet")
            << QByteArray("Select parameter set which should be transfered.");
        QTest::newRow("power slider")
            << QByteArray("CBF_SlidePower")
            << QByteArray("Select the intensity of the transmitter LED. \n0 = no intensity,  "
                          "1000 = full intensity.");
        QTest::newRow("integral")
            << QByteArray("CBF_EditIntegral")
            << QByteArray("Select the number (0...250) of values \nover which the raw signal is "
                          "integrated.");
        QTest::newRow("max vector number keeps its spelling")
            << QByteArray("CBF_EditMaxVecNo")
            << QByteArray("Select the number of color vectors which should be \nchecked in the "
                          "TEACH TABLE beginning with row 0. \n\nAktive rows in the TEACH TABLE "
                          "are \nlabelled green, inactive are labelled red.");
        QTest::newRow("calculation mode with three blanks")
            << QByteArray("CBF_EditCalcmode")
            << QByteArray("Select a calculation mode: \nX Y INT - 2D = X/Y pairs and intensity. "
                          "\ns i   M - 2D = s/i pairs and M. \nX Y INT - 3D = X/Y/INT pairs. "
                          "\ns i   M - 3D = s/i/M pairs.");
        QTest::newRow("color groups")
            << QByteArray("CBF_EditColorGroups")
            << QByteArray("Activate color groups. \nNot possible when EVALMODE=COL5.");
        QTest::newRow("colour number")
            << QByteArray("CBF_DispCOL")
            << QByteArray("Displays the current detected color number in \naccordance with the "
                          "row in the TEACH TABLE. \nDouble click opens a big display. \nClose "
                          "the big display with a right mouse click. \n\nFailure condition is "
                          "255.");
        QTest::newRow("trigger indicator")
            << QByteArray("CBF_LedTrig")
            << QByteArray("Displays whether the sensor is triggered (LED=green) or "
                          "not(LED=black). \nSensor is triggered, when IN0 is +24V or when the "
                          "sensor self triggers (TRIGGER=SELF).");
        QTest::newRow("scope trigger mode")
            << QByteArray("CBF_EditTriggerMode")
            << QByteArray("Select trigger mode! \nSINGLE SHOT: Data recording starts after "
                          "pushing SCAN. \nRISING EDGE: Data recording starts when blue line "
                          "goes higher than TRIGGER LEVEL. \nFALLING EDGE: Data recording starts "
                          "when blue line goes lower than TRIGGER LEVEL. \nINTERNAL C-No.0: Data "
                          "recording starts when color number 0 is detected. \nEXTERNAL IN0: "
                          "Data recording starts when IN0 goes high.");
        QTest::newRow("cycle time")
            << QByteArray("CBF_ButtonGetCycleTime")
            << QByteArray("Get cycle time from sensor. \nDon't interrupt the sensor for 8 "
                          "seconds \nthen press the button.");
    }
    void fullTextsAreStoredByteForByte() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(TextOf(name.constData())), expected);
    }

    void modeTextsAreTheirLinesJoinedByBreaks_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("power mode")
            << QByteArray("CBF_EditPmode")
            << QByteArray::fromStdString(JoinLines({
                   "Select the operating mode of the transmitter unit. ",
                   "",
                   "STAT: Transmitter power is constantly kept at the POWER-SLIDER value. ",
                   "",
                   "DYN : Transmitter power is dynamically tuned in accordance with the amount of "
                   "radiation that ",
                   "      is diffusely reflected from the target. Sensor should not exceed the "
                   "dynamic range. ",
                   "      The dynamic range can be selected with DYN WIN LO and DYN WIN HI.",
               }));
        QTest::newRow("evaluation mode")
            << QByteArray("CBF_EditEvalmode")
            << QByteArray::fromStdString(JoinLines({
                   "HIT = Current detected signal lies within a taught row in the teach table. ",
                   "",
                   "FIRST HIT: First HIT in the teach table will be output. ",
                   "",
                   "BEST HIT: Best HIT (shortest distance to the taught colors) will be output. ",
                   "",
                   "MIN DIST: Shortest distance to the centre of all taught colors will be output "
                   "when INT (M) lies within ITO (MTO). ",
                   "",
                   "COL5: Multiple rows (colors) can be output simultaneously. ",
                   "",
                   "THD RGB: ",
                   "OUT0=HI when the red signal is higher than row0/columnTHD in the teach table, "
                   "otherwise OUT0=LO. ",
                   "OUT1=HI when the green signal is higher than row1/columnTHD in the teach "
                   "table, otherwise OUT1=LO. ",
                   "OUT2=HI when the blue signal is higher than row2/columnTHD in the teach table, "
                   "otherwise OUT2=LO.",
               }));
        QTest::newRow("trigger")
            << QByteArray("CBF_EditTrigger")
            << QByteArray::fromStdString(JoinLines({
                   "Select the trigger mode for the sensor. ",
                   "",
                   "CONT: Continuous color detection (no trigger event required). ",
                   "",
                   "SELF: Self Trigger! 'Trigger' is given, when the actual color is anything else "
                   "than color 0. ",
                   "      Color detection as long as trigger (color is not color 0). ",
                   "      When trigger goes low (redetection of color 0), the most detected color "
                   "will be hold at the output. ",
                   "",
                   "EXT1: Color detection as long as trigger (IN0) is high. ",
                   "      When trigger goes low, the most detected color will be hold at the "
                   "output. ",
                   "",
                   "EXT2: Color detection as long as trigger (IN0) is high. ",
                   "      When trigger goes low, the last detected color will be hold at the "
                   "output. ",
                   "",
                   "EXT3: Color detection as long as trigger (IN0) is high. ",
                   "      When trigger goes low, fail condition is output. ",
                   "",
                   "TRANS: Transmitter is active when trigger (IN0) is high. ",
                   "",
                   "PARA: Sensor works with ParaSet0 when trigger (IN0) is low. ",
                   "      Sensor works with ParaSet1 when trigger (IN0) is high. ",
                   "",
                   "LED TRIG is green when the sensor is triggered.",
               }));
        QTest::newRow("intensity limit")
            << QByteArray("CBF_EditIntlim")
            << QByteArray::fromStdString(JoinLines({
                   "Select an intensity limit. ",
                   "Color evaluation is stopped, if the current intensity INT or M falls below "
                   "this limit. ",
                   "ERROR STATE is output (C-No: = 255). ",
                   "",
                   " ATTENTION: If POWER MODE = DYN. Display INT or M shows the transmitter "
                   "power. ",
                   " The sensor still calculates the real INT or M and compares it with INTLIM.",
               }));
        QTest::newRow("digital outmode")
            << QByteArray("CBF_EditDigOutmode")
            << QByteArray::fromStdString(JoinLines({
                   "Select how to control the 5 digital outputs. ",
                   "",
                   "BINARY: ",
                   "If color group is disabled, the maximum number of colors to be taught is 31. ",
                   "If a color (row 0-30 in the TEACH TABLE) is detected, this color is displayed "
                   "in C-No: ",
                   "and is set binary to the digital outputs (OUT0 to OUT4). ",
                   "If no color is detected, C-No: is 255. The digital outputs (OUT0 to OUT4) are "
                   "set to HI. ",
                   "If color group is enabled, the maximum number of colors to be taught is 31. 31 "
                   "groups are possible. ",
                   "",
                   "DIRECT LO: ",
                   "If color group is disabled, the maximum number of colors to be taught is 5. ",
                   "If a color (row 0 to 4 in the TEACH TABLE) is detected, the special digital "
                   "output is set to LO, all others are HI. ",
                   "If no color is detected, C-No: is 255. The digital outputs (OUT0 to OUT4) are "
                   "set to HI. ",
                   "If color group is enabled, the maximum number of colors to be taught is 31, "
                   "but only 5 groups are possible. ",
                   "If a group is detected, the digital output is set to LO, all others are HI. ",
                   "",
                   "DIRECT HI: ",
                   "If color group is disabled, the maximum number of colors to be taught is 5. ",
                   "If a color (row 0 to 4 in the TEACH TABLE) is detected, the special digital "
                   "output is set to HI, all others are LO. ",
                   "If no color is detected, C-No: is 255. The digital outputs (OUT0 to OUT4) are "
                   "set to LO. ",
                   "If color group is enabled, the maximum number of colors to be taught is 31, "
                   "but only 5 groups are possible. ",
                   "If a group is detected, the digital output is set to HI, all others are LO.",
               }));
        QTest::newRow("extern teach keeps its spelling")
            << QByteArray("CBF_EditExteach")
            << QByteArray::fromStdString(JoinLines({
                   "Select external teach mode. ",
                   "",
                   "OFF: No external teach. ",
                   "",
                   "ON: External teach to all rows of the teach table (See manual). ",
                   "ATTENTION! The taught values are stored into the EEPROM of the sensor. ",
                   "If you are in the GO mode during an external teach, ",
                   "you will get a TIMEOUT, because of the EEPROM transfer. ",
                   "",
                   "STAT1: External teach to row 0 of the teach table. ",
                   "Transmitter power is the power selected with the power slider. ",
                   "The taught values are stored into the RAM of the sensor. ",
                   "",
                   "DYN1: External teach to row 0 of the teach table. ",
                   "The transmitter power is adjusted dynamically, when IN0 goes high. ",
                   "After the power is adjusted, the sensor works on static with this detected "
                   "power value. ",
                   "The taught values are stored into the RAM of the sensor. ",
                   "NOTE! DYN1 is not available in combination with LED MODE=OFF. ",
                   "",
                   "NOTE! Colors will be teached up to MAXCOL-No: when EVALUATION MODE is FIRST "
                   "HIT. ",
                   "",
                   "NOTE! When EVALUATION MODE is THD RGB a maximum and a ",
                   "minimum for each channel will be detected while IN0 is high. ",
                   "The threshold for the selected channels is set to (MAX+MIN)/2. ",
                   "The taught thresholds will be stored in the EEPROM when EXTEACH=ON. ",
                   "The taught thresholds will be stored in the RAM when EXTEACH=STAT1 or DYN1.",
               }));
    }
    void modeTextsAreTheirLinesJoinedByBreaks() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, expected);
        const QByteArray text = QByteArray::fromStdString(TextOf(name.constData()));
        QCOMPARE(text, expected);
        QVERIFY(!text.endsWith('\n'));
    }

    void tableAttributeControlsUseInfoTitleAndAllOthersInfoBang() {
        const std::set<std::string> infoTitled(kTableAttributeControls.begin(),
                                               kTableAttributeControls.end());
        int infoCount = 0;
        int infoBangCount = 0;
        for (const auto& name : kControlsWithHelp) {
            const HelpEntry* entry = FindHelpText(name);
            QVERIFY2(entry != nullptr, name.c_str());
            const std::string title = entry->title;
            const std::string expected = infoTitled.count(name) != 0 ? "Info" : "INFO!";
            QVERIFY2(title == expected, name.c_str());
            (title == "Info" ? infoCount : infoBangCount)++;
        }
        QCOMPARE(infoCount, 7);
        QCOMPARE(infoBangCount, 142);
    }

    void holdHelpIsSharedByTheHoldTable() {
        QCOMPARE(TextOf("CBF_EditGridHold"), TextOf("CBF_EditHold"));
        QCOMPARE(TextOf("CBF_EditHold"),
                 std::string("Select the minimum pulse length when a digital output changes."));
    }

    void teachTableHelpIsReachedOnlyThroughItsMenu() {
        QVERIFY(FindHelpText("CBF_GridCtt") == nullptr);
        QCOMPARE(std::string(kTeachTableHelpTitle), std::string("INFO!"));
        QCOMPARE(
            QByteArray(TeachTableHelpText()),
            QByteArray(
                "Change cell value with a left double click or with F2. \n\nSelect a range of "
                "cells by holding down the left mouse button and dragging the mouse over the "
                "cells to select. \n\nSet selection to: Set the selection to an adjustable "
                "value. \nIncrement selection with: Selected cells will be incremented with an "
                "adjustable value beginning with the first cell. \nReset selection: Reset the "
                "selected range.\nTeach tolerance off: Tolerance will not be changed. \nTeach "
                "tolerance on: Tolerance will be set automatically to a default value."));
    }
};

QTEST_APPLESS_MAIN(TestHelpTexts)
#include "TestHelpTexts.moc"
