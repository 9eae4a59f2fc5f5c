#pragma once
// The charts of the data panel's four pages: the strip charts of red, green and blue and of the
// intensity with its band, and the colour planes with the taught colours and the live cursor.
// Values are taken at once; the charts are brought up to date at the refresh clock's pace, and
// only those the operator can see are replotted.
#include "live/DisplayWidgets.h"
#include "live/LiveGraphs.h"

#include <QObject>

#include <array>
#include <vector>

class QCustomPlot;
class QCPGraph;
class QCPItemEllipse;
class QCPItemRect;
class QCPTextElement;
class QWidget;

namespace live {

class ChartPages : public QObject, public Refreshable {
public:
    explicit ChartPages(RefreshClock& clock, QObject* parent = nullptr);
    ~ChartPages() override;

    // The plots, built into the page widgets that hold them.
    QCustomPlot* MakeRgbChart(QWidget* parent, const QString& role);
    QCustomPlot* MakeIntensityChart(QWidget* parent);
    QCustomPlot* MakePlane2D(QWidget* parent);
    QCustomPlot* MakeIntensityBand2D(QWidget* parent);
    std::array<QCustomPlot*, 3> MakePlanes3D(QWidget* parent);

    // The histories live for the whole run; the charts read them when they are drawn.
    void ShowHistories(const TripleHistory& rgb, const TripleHistory& band);
    void Show2D(const Window& xy, double x, double y, double intensityCursor);
    void Show3D(const Window& xy, const Window& xInt, const Window& yInt, double x, double y,
                double intensity);
    void ShowTaught(const TaughtDrawing& drawing);
    void ShowBand(Band band);
    // The taught colours and the band taken away (a reset teach table).
    void ClearTaught();
    // Labels of the 3D planes, the axis titles (X, Y, INT or s, i, M) and the manual range of
    // the intensity strip chart.
    void ShowCalculationMode(std::uint16_t calculationMode);

    void Refresh() override;

private:
    struct Plane {
        QCustomPlot* plot = nullptr;
        QCPGraph* cursor = nullptr;
        std::array<QCPItemEllipse*, protocol::kTeachRows> ellipses{};
        QCPTextElement* title = nullptr;
        int horizontal = 0, vertical = 1; // the coordinates on the axes: 0 X, 1 Y, 2 INT
        Window window;
        double cursorX = 0, cursorY = 0;
    };
    struct Strip {
        QCustomPlot* plot = nullptr;
        std::array<QCPGraph*, 3> traces{};
        bool autoscale = false;
    };
    Plane MakePlane(QWidget* parent, const QString& role, const QString& title, int horizontal,
                    int vertical);
    void TitleAxes(bool siM);
    Strip MakeStrip(QWidget* parent, const QString& role, const std::array<QColor, 3>& colours);
    void ConnectAxisClicks(Strip& strip, bool intensity);
    Strip* StripOf(const QCustomPlot* plot);
    void MarkDirty(QCustomPlot* plot);
    static void ApplyHistory(Strip& strip, const TripleHistory& history);
    static void ApplyPlane(Plane& plane);

    RefreshClock& clock;
    const TripleHistory* rgbHistory = nullptr;
    const TripleHistory* bandHistory = nullptr;
    std::vector<Strip> rgbStrips; // the RGB page's and the 3D page's
    Strip intensityStrip;
    Plane plane2D;
    QCustomPlot* band2D = nullptr;
    QCPGraph* band2DCursor = nullptr;
    double bandCursor = 0;
    QCPItemRect* bandRectangle = nullptr;
    std::array<Plane, 3> planes3D{};
    std::uint16_t calculationMode = 0;
    std::vector<QCustomPlot*> dirtyPlots;
};

} // namespace live
