#include "live/ChartPages.h"

#include "protocol/ParameterCodes.h"

#include <qcustomplot.h>

#include <algorithm>

namespace live {

namespace {

constexpr double kStripRange = 4096;
constexpr double kMRange = 1200;
const QColor kBandColour(0x40, 0x80, 0x80);

QCustomPlot* MakePlot(const QString& role, QWidget* parent) {
    auto* plot = new QCustomPlot(parent);
    plot->setObjectName(role);
    plot->setMinimumSize(120, 90);
    const QFont tickFont(plot->font().family(), 7);
    const QFont titleFont(plot->font().family(), 8);
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
        axis->setTickLabelFont(tickFont);
        axis->setLabelFont(titleFont);
        // Small charts: the numbers and titles sit close to the axis.
        axis->setTickLabelPadding(3);
        axis->setLabelPadding(2);
    }
    // The charts are read, not edited: no dragging or zooming by the mouse.
    plot->setInteractions({});
    // They are redrawn many times a second beside a fast sensor: plain lines draw fastest.
    plot->setNotAntialiasedElements(QCP::aeAll);
    plot->setPlottingHint(QCP::phFastPolylines, true);
    return plot;
}

// A strip's ticks, as many as their numbers have room for at the chart's size: a small chart's
// labels would otherwise run into each other.
void FitTicksToRoom(QCustomPlot* plot) {
    QObject::connect(plot, &QCustomPlot::afterLayout, plot, [plot] {
        const QFontMetrics metrics(plot->xAxis->tickLabelFont());
        const int wide = metrics.horizontalAdvance(QStringLiteral("00000")) * 2;
        const int high = metrics.height() * 3;
        const QRect area = plot->axisRect()->rect();
        plot->xAxis->ticker()->setTickCount(std::max(2, area.width() / std::max(1, wide)));
        plot->yAxis->ticker()->setTickCount(std::max(2, area.height() / std::max(1, high)));
    });
}

QCPGraph* MakeCursor(QCustomPlot* plot) {
    QCPGraph* cursor = plot->addGraph();
    cursor->setLineStyle(QCPGraph::lsNone);
    cursor->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCrossCircle, Qt::black, 11));
    cursor->setPen(QPen(Qt::black, 1.5));
    cursor->addData(0, 0);
    return cursor;
}

// One unit on X as many pixels as one unit on Y: before each replot the plot area is laid out
// as usual, then its margins grow on the side with pixels to spare, so the area takes the
// aspect of its ranges and sits centred where it was. The ranges stay as they were set.
void KeepSquareUnits(QCustomPlot* plot) {
    QCPAxisRect* rect = plot->axisRect();
    // Room above for half the top number and on the right for half the last one.
    const QMargins base(10, 6, 14, 10);
    QObject::connect(plot, &QCustomPlot::beforeReplot, plot, [plot, rect, base] {
        // As many numbers as the side of the square leaves room for: side by side below it,
        // one above the other beside it.
        const QRect room = rect->outerRect();
        const int side = std::min(room.width(), room.height()) - 45;
        plot->xAxis->ticker()->setTickCount(std::clamp(side / 60, 1, 6));
        plot->yAxis->ticker()->setTickCount(std::clamp(side / 30, 2, 6));
        rect->setMinimumMargins(base);
        QCPLayout* layout = plot->plotLayout();
        layout->update(QCPLayoutElement::upPreparation);
        layout->update(QCPLayoutElement::upMargins);
        layout->update(QCPLayoutElement::upLayout);
        const QRect inner = rect->rect();
        const QRect outer = rect->outerRect();
        const QCPRange x = plot->xAxis->range();
        const QCPRange y = plot->yAxis->range();
        const PixelRect fit =
            FitSquareUnits({inner.left(), inner.top(), inner.width(), inner.height()},
                           {{x.lower, x.upper}, {y.lower, y.upper}})
                .centred;
        rect->setMinimumMargins(QMargins(fit.left - outer.left(), fit.top - outer.top(),
                                         outer.left() + outer.width() - fit.left - fit.width,
                                         outer.top() + outer.height() - fit.top - fit.height));
    });
}

void SetPoint(QCPGraph* graph, double key, double value) {
    auto it = graph->data()->begin();
    it->key = key;
    it->value = value;
}

} // namespace

ChartPages::ChartPages(RefreshClock& clock, QObject* parent) : QObject(parent), clock(clock) {
    dirtyPlots.reserve(16);
}

ChartPages::~ChartPages() {
    clock.Forget(this);
}

ChartPages::Strip ChartPages::MakeStrip(QWidget* parent, const QString& role,
                                        const std::array<QColor, 3>& colours) {
    Strip strip;
    strip.plot = MakePlot(role, parent);
    FitTicksToRoom(strip.plot);
    strip.plot->xAxis->setRange(0, kHistorySamples);
    strip.plot->yAxis->setRange(0, kStripRange);
    strip.plot->xAxis->setLabel(QStringLiteral("samples"));
    for (int t = 0; t < 3; ++t) {
        QCPGraph* trace = strip.plot->addGraph();
        trace->setPen(QPen(colours[std::size_t(t)], 1.5));
        // One point per sample, made once; later samples only change their values.
        QVector<double> keys(kHistorySamples), values(kHistorySamples, 0.0);
        for (int i = 0; i < kHistorySamples; ++i)
            keys[i] = i;
        trace->setData(keys, values, true);
        strip.traces[std::size_t(t)] = trace;
    }
    return strip;
}

ChartPages::Strip* ChartPages::StripOf(const QCustomPlot* plot) {
    if (plot == intensityStrip.plot) return &intensityStrip;
    for (Strip& rgb : rgbStrips) {
        if (rgb.plot == plot) return &rgb;
    }
    return nullptr;
}

void ChartPages::ConnectAxisClicks(Strip& strip, bool intensity) {
    QCustomPlot* plot = strip.plot;
    // A left click fixes the value axis, a double click lets it follow the data. The strips
    // live in a vector, so each click looks its strip up anew.
    connect(plot, &QCustomPlot::mousePress, this, [this, plot, intensity](QMouseEvent* event) {
        Strip* clicked = StripOf(plot);
        if (event->button() != Qt::LeftButton || !clicked) return;
        clicked->autoscale = false;
        const bool m = intensity && protocol::IsCalculationSiM(calculationMode);
        plot->yAxis->setRange(0, m ? kMRange : kStripRange);
        plot->replot(QCustomPlot::rpQueuedReplot);
    });
    connect(plot, &QCustomPlot::mouseDoubleClick, this, [this, plot](QMouseEvent* event) {
        Strip* clicked = StripOf(plot);
        if (event->button() != Qt::LeftButton || !clicked) return;
        clicked->autoscale = true;
        MarkDirty(plot);
    });
}

QCustomPlot* ChartPages::MakeRgbChart(QWidget* parent, const QString& role) {
    rgbStrips.push_back(
        MakeStrip(parent, role, {QColor(0xFF, 0, 0), QColor(0, 0xC0, 0), QColor(0, 0, 0xFF)}));
    rgbStrips.back().plot->yAxis->setLabel(QStringLiteral("RGB [digits]"));
    // The RGB page's chart answers clicks on its axis; the 3D page's is only watched.
    if (role == QLatin1String("GraphRGB")) ConnectAxisClicks(rgbStrips.back(), false);
    rgbStrips.back().plot->setAccessibleName(QStringLiteral("RGB strip chart"));
    return rgbStrips.back().plot;
}

QCustomPlot* ChartPages::MakeIntensityChart(QWidget* parent) {
    intensityStrip = MakeStrip(parent, QStringLiteral("GraphINT1"),
                               {QColor(0x00, 0x80, 0x80), kBandColour, kBandColour});
    intensityStrip.traces[1]->setPen(QPen(kBandColour, 1, Qt::DashLine));
    intensityStrip.traces[2]->setPen(QPen(kBandColour, 1, Qt::DashLine));
    ConnectAxisClicks(intensityStrip, true);
    TitleAxes(protocol::IsCalculationSiM(calculationMode));
    intensityStrip.plot->setAccessibleName(QStringLiteral("intensity strip chart"));
    return intensityStrip.plot;
}

ChartPages::Plane ChartPages::MakePlane(QWidget* parent, const QString& role, const QString& title,
                                        int horizontal, int vertical) {
    Plane plane;
    plane.horizontal = horizontal;
    plane.vertical = vertical;
    plane.window = {{0, 10000}, {0, 10000}};
    plane.plot = MakePlot(role, parent);
    plane.plot->setAccessibleName(QStringLiteral("colour plane %1").arg(title).trimmed());
    plane.plot->xAxis->setRange(0, 10000);
    plane.plot->yAxis->setRange(0, 10000);
    if (!title.isEmpty()) {
        plane.plot->plotLayout()->insertRow(0);
        plane.title = new QCPTextElement(plane.plot, title, QFont(plane.plot->font().family(), 8));
        plane.plot->plotLayout()->addElement(0, 0, plane.title);
    }
    for (auto& ellipse : plane.ellipses) {
        ellipse = new QCPItemEllipse(plane.plot);
        ellipse->setBrush(Qt::NoBrush);
        ellipse->setVisible(false);
    }
    plane.cursor = MakeCursor(plane.plot);
    KeepSquareUnits(plane.plot);
    return plane;
}

QCustomPlot* ChartPages::MakePlane2D(QWidget* parent) {
    plane2D = MakePlane(parent, QStringLiteral("Graph2D"), QString(), 0, 1);
    TitleAxes(protocol::IsCalculationSiM(calculationMode));
    return plane2D.plot;
}

QCustomPlot* ChartPages::MakeIntensityBand2D(QWidget* parent) {
    band2D = MakePlot(QStringLiteral("Graph2D"), parent);
    band2D->setAccessibleName(QStringLiteral("intensity band"));
    band2D->xAxis->setRange(0, 4096);
    band2D->yAxis->setRange(0, 100);
    band2D->yAxis->setTickLabels(false);
    // A flat strip: no room left above the band for numbers it does not have.
    band2D->axisRect()->setMinimumMargins(QMargins(15, 4, 15, 15));
    band2D->axisRect()->setMinimumSize(50, 12);
    band2D->setMinimumHeight(56);
    bandRectangle = new QCPItemRect(band2D);
    bandRectangle->setPen(QPen(kBandColour));
    bandRectangle->setBrush(kBandColour);
    bandRectangle->topLeft->setCoords(0, 100);
    bandRectangle->bottomRight->setCoords(0, 0);
    band2DCursor = MakeCursor(band2D);
    SetPoint(band2DCursor, 0, 50);
    TitleAxes(protocol::IsCalculationSiM(calculationMode));
    return band2D;
}

std::array<QCustomPlot*, 3> ChartPages::MakePlanes3D(QWidget* parent) {
    const char* titles[3] = {"X/Y", "X/INT", "Y/INT"};
    const int axes[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (int i = 0; i < 3; ++i) {
        planes3D[std::size_t(i)] =
            MakePlane(parent, QStringLiteral("Graph3D"), QString::fromLatin1(titles[i]), axes[i][0],
                      axes[i][1]);
    }
    TitleAxes(protocol::IsCalculationSiM(calculationMode));
    return {planes3D[0].plot, planes3D[1].plot, planes3D[2].plot};
}

void ChartPages::MarkDirty(QCustomPlot* plot) {
    if (std::find(dirtyPlots.begin(), dirtyPlots.end(), plot) == dirtyPlots.end())
        dirtyPlots.push_back(plot);
    clock.MarkDirty(this);
}

void ChartPages::ShowHistories(const TripleHistory& rgb, const TripleHistory& band) {
    rgbHistory = &rgb;
    bandHistory = &band;
    for (Strip& strip : rgbStrips)
        MarkDirty(strip.plot);
    MarkDirty(intensityStrip.plot);
}

void ChartPages::Show2D(const Window& xy, double x, double y, double intensityCursor) {
    plane2D.window = xy;
    plane2D.cursorX = x;
    plane2D.cursorY = y;
    bandCursor = intensityCursor;
    MarkDirty(plane2D.plot);
    MarkDirty(band2D);
}

void ChartPages::Show3D(const Window& xy, const Window& xInt, const Window& yInt, double x,
                        double y, double intensity) {
    const std::array<Window, 3> windows{xy, xInt, yInt};
    const std::array<std::pair<double, double>, 3> cursors{
        {{x, y}, {x, intensity}, {y, intensity}}};
    for (std::size_t i = 0; i < planes3D.size(); ++i) {
        planes3D[i].window = windows[i];
        planes3D[i].cursorX = cursors[i].first;
        planes3D[i].cursorY = cursors[i].second;
        MarkDirty(planes3D[i].plot);
    }
}

void ChartPages::ShowTaught(const TaughtDrawing& drawing) {
    for (std::size_t r = 0; r < drawing.rows.size(); ++r) {
        const TaughtColour& row = drawing.rows[r];
        const QPen pen(QColor::fromRgb(row.colour & 0xFFFFFF), 1.2);
        const std::array<std::pair<Plane*, const Ellipse*>, 4> shapes{{{&plane2D, &row.xy},
                                                                       {&planes3D[0], &row.xy},
                                                                       {&planes3D[1], &row.xInt},
                                                                       {&planes3D[2], &row.yInt}}};
        for (const auto& [plane, shape] : shapes) {
            QCPItemEllipse* ellipse = plane->ellipses[r];
            if (!ellipse) continue;
            ellipse->topLeft->setCoords(shape->left, shape->top);
            ellipse->bottomRight->setCoords(shape->right, shape->bottom);
            ellipse->setPen(pen);
            ellipse->setVisible(true);
        }
    }
    for (Plane* plane : {&plane2D, &planes3D[0], &planes3D[1], &planes3D[2]})
        if (plane->plot) MarkDirty(plane->plot);
}

void ChartPages::ClearTaught() {
    for (Plane* plane : {&plane2D, &planes3D[0], &planes3D[1], &planes3D[2]}) {
        for (QCPItemEllipse* ellipse : plane->ellipses)
            if (ellipse) ellipse->setVisible(false);
        if (plane->plot) MarkDirty(plane->plot);
    }
    bandRectangle->setVisible(false);
    MarkDirty(band2D);
}

void ChartPages::ShowBand(Band band) {
    bandRectangle->setVisible(true);
    bandRectangle->topLeft->setCoords(band.lower, 100);
    bandRectangle->bottomRight->setCoords(band.upper, 0);
    MarkDirty(band2D);
}

void ChartPages::ShowCalculationMode(std::uint16_t mode) {
    calculationMode = mode;
    if (mode == 2 || mode == 3) {
        const bool m = mode == 3;
        const char* titles[3] = {m ? "s/i" : "X/Y", m ? "s/M" : "X/INT", m ? "i/M" : "Y/INT"};
        for (std::size_t i = 0; i < planes3D.size(); ++i)
            planes3D[i].title->setText(QString::fromLatin1(titles[i]));
        for (std::size_t i = 0; i < planes3D.size(); ++i)
            planes3D[i].plot->setAccessibleName(
                QStringLiteral("colour plane %1").arg(QString::fromLatin1(titles[i])));
    }
    if (!intensityStrip.autoscale)
        intensityStrip.plot->yAxis->setRange(0, protocol::IsCalculationSiM(mode) ? kMRange
                                                                                 : kStripRange);
    TitleAxes(protocol::IsCalculationSiM(mode));
    for (QCustomPlot* plot : {plane2D.plot, planes3D[0].plot, planes3D[1].plot, planes3D[2].plot,
                              band2D, intensityStrip.plot})
        if (plot) MarkDirty(plot);
}

void ChartPages::TitleAxes(bool siM) {
    // What an axis counts: the sensor's values are in digits of its converter.
    const auto name = [siM](int coordinate) {
        return QString::fromLatin1(CoordinateName(coordinate, siM)) + QStringLiteral(" [digits]");
    };
    for (Plane* plane : {&plane2D, &planes3D[0], &planes3D[1], &planes3D[2]}) {
        if (!plane->plot) continue;
        plane->plot->xAxis->setLabel(name(plane->horizontal));
        plane->plot->yAxis->setLabel(name(plane->vertical));
    }
    if (band2D) band2D->xAxis->setLabel(name(2));
    if (intensityStrip.plot) intensityStrip.plot->yAxis->setLabel(name(2));
}

void ChartPages::ApplyHistory(Strip& strip, const TripleHistory& history) {
    for (int t = 0; t < 3; ++t) {
        auto it = strip.traces[std::size_t(t)]->data()->begin();
        for (int i = 0; i < kHistorySamples; ++i, ++it)
            it->value = history.At(i, t);
    }
    if (!strip.autoscale) return;
    strip.traces[0]->rescaleValueAxis(false, false);
    strip.traces[1]->rescaleValueAxis(true, false);
    strip.traces[2]->rescaleValueAxis(true, false);
}

void ChartPages::ApplyPlane(Plane& plane) {
    plane.plot->xAxis->setRange(plane.window.x.lower, plane.window.x.upper);
    plane.plot->yAxis->setRange(plane.window.y.lower, plane.window.y.upper);
    SetPoint(plane.cursor, plane.cursorX, plane.cursorY);
}

void ChartPages::Refresh() {
    // Charts nobody can see keep their turn until they are shown.
    std::size_t kept = 0;
    for (QCustomPlot* plot : dirtyPlots) {
        if (!plot->isVisible()) {
            dirtyPlots[kept++] = plot;
            continue;
        }
        for (Strip& strip : rgbStrips)
            if (strip.plot == plot && rgbHistory) ApplyHistory(strip, *rgbHistory);
        if (plot == intensityStrip.plot && bandHistory) ApplyHistory(intensityStrip, *bandHistory);
        for (Plane* plane : {&plane2D, &planes3D[0], &planes3D[1], &planes3D[2]})
            if (plane->plot == plot) ApplyPlane(*plane);
        if (plot == band2D) SetPoint(band2DCursor, bandCursor, 50);
        plot->replot(QCustomPlot::rpQueuedReplot);
    }
    dirtyPlots.resize(kept);
}

} // namespace live
