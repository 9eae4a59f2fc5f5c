#pragma once
// The program's controls as a test reaches them: found by their role (object name) in the
// window, as the help texts and the operator know them. Panels keep their widgets to
// themselves; tests work the controls the way the operator does.
#include "live/DisplayWidgets.h"
#include "params/ParameterPage.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>
#include <qcustomplot.h>

#include <array>

// The `index`-th control of that role and type under `root`, in the order they were built.
template <typename T = QWidget> T* Need(const QObject& root, const char* role, int index = 0) {
    const auto found = root.findChildren<T*>(QString::fromLatin1(role));
    if (index >= found.size()) qFatal("no control %s #%d", role, index);
    return found[index];
}

// A top-level window of the program other than the main window (the big panels).
inline QWidget* TopLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name)) return widget;
    }
    qFatal("no window %s", name);
    return nullptr;
}

struct MainControls {
    explicit MainControls(QWidget& window)
        : tabMain1(Need<QTabWidget>(window, "TabMain1")),
          buttonSend(Need<QPushButton>(window, "ButtonSend")),
          buttonGet(Need<QPushButton>(window, "ButtonGet")),
          buttonGo(Need<QPushButton>(window, "ButtonGo")),
          buttonStop(Need<QPushButton>(window, "ButtonStop")) {
        for (int i = 0; i < 3; ++i)
            selectMem[std::size_t(i)] = Need<QRadioButton>(window, "SelectMem", i);
        for (int i = 0; i < 2; ++i)
            selectParaSet[std::size_t(i)] = Need<QRadioButton>(window, "SelectParaSet", i);
    }
    QTabWidget* tabMain1;
    QPushButton* buttonSend;
    QPushButton* buttonGet;
    QPushButton* buttonGo;
    QPushButton* buttonStop;
    std::array<QRadioButton*, 3> selectMem{};
    std::array<QRadioButton*, 2> selectParaSet{};
};

struct CommControls {
    explicit CommControls(QWidget& window)
        : page(Need<QWidget>(window, "CommPage")),
          editCommunicationProtocol(Need<QComboBox>(*page, "EditCommunicationProtocol")),
          editSelectComPort(Need<QComboBox>(*page, "EditSelectComPort")),
          editSelectBaudrate(Need<QComboBox>(*page, "EditSelectBaudrate")),
          stringIpAdress(Need<QComboBox>(*page, "StringIpAdress")),
          stringPortNumber(Need<QLineEdit>(*page, "StringPortNumber")),
          editId(Need<QLineEdit>(*page, "EditID")),
          buttonTryToConnect(Need<QPushButton>(*page, "ButtonTryToConnect")),
          buttonAccept(Need<QPushButton>(*page, "ButtonAccept")),
          buttonChangeBaudrate(Need<QPushButton>(*page, "ButtonChangeBaudrate")),
          buttonGenHwInfoFile(Need<QPushButton>(*page, "ButtonGenHwInfoFile")),
          commLog(Need<QPlainTextEdit>(*page, "TextCommLog")) {}
    QWidget* page;
    QComboBox* editCommunicationProtocol;
    QComboBox* editSelectComPort;
    QComboBox* editSelectBaudrate;
    QComboBox* stringIpAdress;
    QLineEdit* stringPortNumber;
    QLineEdit* editId;
    QPushButton* buttonTryToConnect;
    QPushButton* buttonAccept;
    QPushButton* buttonChangeBaudrate;
    QPushButton* buttonGenHwInfoFile;
    QPlainTextEdit* commLog;
};

struct DataControls {
    using Display = live::NumericDisplay;
    explicit DataControls(QWidget& window)
        : panel(Need<QWidget>(window, "DATAP")), dispStatus(Need<QLabel>(*panel, "DispStatus")),
          dispComPort(Need<QLabel>(*panel, "DispComPort")),
          dispServer(Need<QLabel>(*panel, "DispServer")), dispRed(Need<Display>(*panel, "DispRED")),
          dispGreen(Need<Display>(*panel, "DispGREEN")),
          dispBlue(Need<Display>(*panel, "DispBLUE")), dispX(Need<Display>(*panel, "DispX")),
          dispY(Need<Display>(*panel, "DispY")), dispInt(Need<Display>(*panel, "DispINT")),
          dispDeltaC(Need<Display>(*panel, "DispDeltaC")),
          dispCol(Need<Display>(*panel, "DispCOL")), dispGroup(Need<Display>(*panel, "DispGroup")),
          labelX(Need<QLabel>(*panel, "LabelX")), labelY(Need<QLabel>(*panel, "LabelY")),
          labelInt(Need<QLabel>(*panel, "LabelINT")),
          ledTrig(Need<live::IndicatorLed>(*panel, "LedTrig")),
          swatch(Need<live::ColourSwatch>(*panel, "DecoColour")),
          tabDataP1(Need<QTabWidget>(*panel, "TabDataP1")) {
        for (int i = 0; i < 5; ++i)
            ledOut[std::size_t(i)] =
                Need<live::IndicatorLed>(*panel, qPrintable(QStringLiteral("LedOut%1").arg(i)));
        for (int i = 0; i < 9; ++i)
            pageRgb[std::size_t(i / 3)][std::size_t(i % 3)] = Need<Display>(*panel, "DispRGB", i);
        for (int i = 0; i < 6; ++i)
            dispMinMax[std::size_t(i)] = Need<Display>(*panel, "DispMinMaxRGB", i);
    }
    QWidget* panel;
    QLabel* dispStatus;
    QLabel* dispComPort;
    QLabel* dispServer;
    Display* dispRed;
    Display* dispGreen;
    Display* dispBlue;
    Display* dispX;
    Display* dispY;
    Display* dispInt;
    Display* dispDeltaC;
    Display* dispCol;
    Display* dispGroup;
    QLabel* labelX;
    QLabel* labelY;
    QLabel* labelInt;
    live::IndicatorLed* ledTrig;
    std::array<live::IndicatorLed*, 5> ledOut{};
    live::ColourSwatch* swatch;
    QTabWidget* tabDataP1;
    std::array<std::array<Display*, 3>, 3> pageRgb{};
    std::array<Display*, 6> dispMinMax{};
};

struct ParameterPageControls {
    explicit ParameterPageControls(QWidget& window)
        : self(Need<params::ParameterPage>(window, "ParameterPage")),
          slidePower(Need<QSlider>(window, "SlidePower")),
          powerValue(Need<QSpinBox>(window, "SlidePower")),
          editPmode(Need<QComboBox>(window, "EditPmode")),
          editLedMode(Need<QComboBox>(window, "EditLedMode")),
          editGain(Need<QComboBox>(window, "EditGain")),
          editDynWinLo(Need<QSpinBox>(window, "EditDynWinLoHi", 0)),
          editDynWinHi(Need<QSpinBox>(window, "EditDynWinLoHi", 1)),
          editAverage(Need<QSpinBox>(window, "EditAverage")),
          editIntegral(Need<QSpinBox>(window, "EditIntegral")),
          editMaxVecNo(Need<QSpinBox>(window, "EditMaxVecNo")),
          editDigOutmode(Need<QComboBox>(window, "EditDigOutmode")),
          editIntlim(Need<QSpinBox>(window, "EditIntlim")),
          editEvalmode(Need<QComboBox>(window, "EditEvalmode")),
          editCalcmode(Need<QComboBox>(window, "EditCalcmode")),
          editExteach(Need<QComboBox>(window, "EditExteach")),
          editTrigger(Need<QComboBox>(window, "EditTrigger")) {}
    // The word as the page reads it from its controls.
    std::uint16_t Word(int word) const { return self->Word(word); }
    params::ParameterPage* self;
    QSlider* slidePower;
    QSpinBox* powerValue;
    QComboBox* editPmode;
    QComboBox* editLedMode;
    QComboBox* editGain;
    QSpinBox* editDynWinLo;
    QSpinBox* editDynWinHi;
    QSpinBox* editAverage;
    QSpinBox* editIntegral;
    QSpinBox* editMaxVecNo;
    QComboBox* editDigOutmode;
    QSpinBox* editIntlim;
    QComboBox* editEvalmode;
    QComboBox* editCalcmode;
    QComboBox* editExteach;
    QComboBox* editTrigger;
};

struct GroupHoldControls {
    explicit GroupHoldControls(QWidget& window)
        : editColorGroups(Need<QComboBox>(window, "EditColorGroups")),
          editGridGroups(Need<QTableWidget>(window, "EditGridGroups")),
          editGridHold(Need<QTableWidget>(window, "EditGridHold")),
          editResetHold(Need<QSpinBox>(window, "EditResetHold")),
          buttonResetGroupTable(Need<QPushButton>(window, "ButtonResetGroupTable")),
          buttonResetHoldTable(Need<QPushButton>(window, "ButtonResetHoldTable")) {}
    QComboBox* editColorGroups;
    QTableWidget* editGridGroups;
    QTableWidget* editGridHold;
    QSpinBox* editResetHold;
    QPushButton* buttonResetGroupTable;
    QPushButton* buttonResetHoldTable;
};

struct TeachTableControls {
    explicit TeachTableControls(QWidget& window) : gridCtt(Need<QTableWidget>(window, "GridCtt")) {}
    QTableWidget* gridCtt;
};

// The colour column of the teach table; the group and hold tables have theirs in column 2.
inline constexpr int kTeachColourColumn = 5;
inline constexpr int kGroupHoldColourColumn = 1;

struct GraphControls {
    using Display = live::NumericDisplay;
    explicit GraphControls(QWidget& window)
        : panel(Need<QWidget>(window, "GRAPHP")), editSignal(Need<QComboBox>(*panel, "EditSignal")),
          buttonGpClose(Need<QPushButton>(*panel, "ButtonGpClose")),
          labelX(Need<QLabel>(*panel, "LabelGpX")), labelY(Need<QLabel>(*panel, "LabelGpY")),
          labelInt(Need<QLabel>(*panel, "LabelGpINT")) {
        static const char* const kDisplays[7] = {"DispGpRED", "DispGpGREEN", "DispGpBLUE",
                                                 "DispGpX",   "DispGpY",     "DispGpINT",
                                                 "DispGpTEMP"};
        for (int i = 0; i < 7; ++i) {
            graphs[std::size_t(i)] = Need<QCustomPlot>(*panel, "PanelGraphGraph", i);
            displays[std::size_t(i)] = Need<Display>(*panel, kDisplays[i]);
        }
    }
    QWidget* panel;
    QComboBox* editSignal;
    QPushButton* buttonGpClose;
    QLabel* labelX;
    QLabel* labelY;
    QLabel* labelInt;
    // Red, green, blue, X, Y, INT, temperature: the signal list's order.
    std::array<QCustomPlot*, 7> graphs{};
    std::array<Display*, 7> displays{};
};
