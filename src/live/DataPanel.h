#pragma once
// The data panel: status line, link in use, live values, colour swatch, output indicators and
// the four chart pages.
#include <QWidget>

#include <array>

#include "live/DisplayWidgets.h"

class QLabel;
class QTabWidget;
class QPushButton;
class QCustomPlot;
class Program;

class DataPanel : public QWidget {
    Q_OBJECT
public:
    enum Page { kRgbPage = 0, kIntPage = 1, k2DPage = 2, k3DPage = 3 };

    DataPanel(Program& program, RefreshClock& clock, QWidget* parent = nullptr);

    QLabel* dispStatus;
    QLabel* dispComPort;
    QLabel* dispServer;
    QLabel* labelComPort;
    QLabel* labelServer;
    NumericDisplay* dispRed;
    NumericDisplay* dispGreen;
    NumericDisplay* dispBlue;
    NumericDisplay* dispX;
    NumericDisplay* dispY;
    NumericDisplay* dispInt;
    QLabel* labelX;
    QLabel* labelY;
    QLabel* labelInt;
    NumericDisplay* dispDeltaC;
    NumericDisplay* dispCol;
    NumericDisplay* dispGroup;
    QLabel* labelDeltaC;
    QLabel* labelCol;
    QLabel* labelGroup;
    IndicatorLed* ledTrig;
    QLabel* labelTrig;
    std::array<IndicatorLed*, 5> ledOut{};
    std::array<QLabel*, 5> labelOut{};
    ColourSwatch* swatch;
    QTabWidget* tabDataP1;
    std::array<QWidget*, 4> pages{};
    // RED, GREEN, BLUE on the RGB, INT and 2D pages
    std::array<std::array<NumericDisplay*, 3>, 3> pageRgb{};
    std::array<NumericDisplay*, 6> dispMinMax{};
    QCustomPlot* graphRgb;
    QCustomPlot* graphInt1;
    QCustomPlot* graph2DXY;
    QCustomPlot* graph2DInt;
    std::array<QCustomPlot*, 3> graph3D{};
    QCustomPlot* graph3DRgb;
    QPushButton* buttonShowGraph;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildValueBlock(RefreshClock& clock);
    QWidget* BuildRgbRow(int pageIndex, RefreshClock& clock);
    void BuildPages(RefreshClock& clock);

    Program& program;
};
