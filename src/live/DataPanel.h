#pragma once
// The data panel: status line, link in use, live values, colour swatch, output indicators and
// the four chart pages. Other subsystems tell it what to show through the methods below.
#include "live/DisplayModes.h"
#include "live/DisplayWidgets.h"
#include "protocol/MeasurementFrame.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QTabWidget;
class QPushButton;
class QCustomPlot;

namespace core {
class Shell;
}

namespace live {

class BigNumberPanel;
class ChartPages;

class DataPanel : public QWidget {
    Q_OBJECT
public:
    enum Page { kRgbPage = 0, kIntPage = 1, k2DPage = 2, k3DPage = 3 };

    DataPanel(core::Shell& shell, RefreshClock& clock, BigNumberPanel& bigColourNumber,
              BigNumberPanel& bigGroup, QWidget* parent = nullptr);

    void SetStatusLine(const std::string& text);
    // The serial port number with RS-232, the server name with TCP/IP.
    void ShowLinkInUse(bool serial, int portNumber, const QString& server);
    // Every live value of one measurement, the live colour on the swatch; the output
    // indicators follow the colour number only when `showOutputs` (COL5 and THD RGB).
    void ShowFrame(const protocol::MeasurementFrame& frame, std::uint32_t liveColour,
                   bool showOutputs);

    void ShowDisplays(const DataPanelDisplays& shown);
    // X Y INT or s i M, with the label colours of the colour space.
    void ShowCoordinateLabels(bool siM);
    // The active page is chosen among the pages that stay, before the others go.
    void ShowPages(const DataPages& pages);
    int ActivePage() const;
    void SetActivePage(int page);
    void SetSwatchVisible(bool visible);
    void HideBigPanels(bool group, bool colourNumber);
    // After a link failure the last values stay readable, greyed, until the sensor answers
    // again; showing a frame does not ungrey them, as it may have been measured before the
    // failure.
    void SetStale(bool stale);
    bool IsStale() const { return stale; }
    // The charts of the four pages.
    ChartPages& Charts() { return *charts; }
    // SHOW GRAPH is usable once a graph panel is there to show.
    void EnableShowGraph(bool enabled);
    // RED, GREEN and BLUE for another panel that shows them live (the mean-value teach panel):
    // updated and greyed with the data panel's own displays.
    QWidget* MakeLiveRgbRow(QWidget* parent);

    void CBF_ButtonShowGraph();

signals:
    void ShowGraphRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildValueBlock(RefreshClock& clock);
    QWidget* BuildRgbRow(RefreshClock& clock, QWidget* parent = nullptr);
    void BuildPages(RefreshClock& clock);
    void ShowBigPanel(BigNumberPanel& panel);

    core::Shell& shell;
    BigNumberPanel& bigColourNumber;
    BigNumberPanel& bigGroup;
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
    // RED, GREEN, BLUE on the RGB, INT and 2D pages, and on other panels that show them
    std::vector<std::array<NumericDisplay*, 3>> pageRgb;
    RefreshClock& clock;
    std::array<NumericDisplay*, 6> dispMinMax{};
    NumericDisplay* dispTemp;
    ChartPages* charts;
    QPushButton* buttonShowGraph;
    std::vector<NumericDisplay*> liveDisplays; // every display of a measured value
    bool stale = false;
};

} // namespace live
