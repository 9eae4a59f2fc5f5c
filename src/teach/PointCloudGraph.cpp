#include "teach/PointCloudGraph.h"

#include "live/LiveGraphs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace teach {

namespace {

// The span a cloud starts with around its first point: a still object's noise fills part of it.
constexpr double kFirstSpan = 64;
const QColor kDotColour(0xFF, 0x00, 0x00);
const QColor kCursorColour(0x00, 0x00, 0x00);

QString TickText(double value) {
    return QString::number(std::lround(value));
}

// Multiples of 1, 2 or 5 times a power of ten inside `range`: the widest such step that still
// gives two values, and no more than about `most` of them.
std::vector<double> TickValues(AxisRange range, int most) {
    const double span = range.upper - range.lower;
    if (span <= 0) return {range.lower};
    const auto valuesAt = [range](double step) {
        std::vector<double> values;
        for (double value = std::ceil(range.lower / step) * step; value <= range.upper;
             value += step)
            values.push_back(value);
        return values;
    };
    const double power = std::pow(10.0, std::ceil(std::log10(span)));
    std::vector<double> best = valuesAt(power);
    for (double step = power; step >= 1; step /= 10) {
        for (double factor : {1.0, 0.5, 0.2}) {
            if (step * factor < 1) return best; // whole numbers only
            std::vector<double> values = valuesAt(step * factor);
            if (int(values.size()) > std::max(most, 2)) return best.size() >= 2 ? best : values;
            best = std::move(values);
        }
    }
    return best;
}

} // namespace

PointCloudGraph::PointCloudGraph(const std::vector<core::TeachPoint>& records, int graph,
                                 QWidget* parent)
    : QWidget(parent), records(records), graph(graph) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void PointCloudGraph::SetTitle(const QString& text) {
    title = text;
    horizontalTitle = text.section(QLatin1Char('/'), 0, 0);
    verticalTitle = text.section(QLatin1Char('/'), 1, 1);
    update();
}

QRect PointCloudGraph::PlotArea() const {
    const QFontMetrics metrics = fontMetrics();
    // The vertical title, then the numbers, on the left; the numbers, then the title, below.
    const int left = metrics.height() + metrics.horizontalAdvance(QStringLiteral("00000")) + 10;
    const int top = metrics.height() + 6;
    const int bottom = 2 * metrics.height() + 8;
    return QRect(left, top, std::max(width() - left - 10, 10),
                 std::max(height() - top - bottom, 10));
}

std::pair<AxisRange, AxisRange> PointCloudGraph::Shown() const {
    const QRect area = PlotArea();
    // The first and last pixel are the ends of a range: its span is one pixel less.
    const live::Window shown = live::FitSquareUnits({0, 0, area.width() - 1, area.height() - 1},
                                                    {{horizontal.lower, horizontal.upper},
                                                     {vertical.lower, vertical.upper}})
                                   .widened;
    return {{shown.x.lower, shown.x.upper}, {shown.y.lower, shown.y.upper}};
}

QPointF PointCloudGraph::ToPixel(PlanePoint p) const {
    const QRect area = PlotArea();
    const auto [h, v] = Shown();
    const double x = (p.a - h.lower) / (h.upper - h.lower);
    const double y = (p.b - v.lower) / (v.upper - v.lower);
    return {area.left() + x * (area.width() - 1), area.bottom() - y * (area.height() - 1)};
}

PlanePoint PointCloudGraph::FromPixel(QPointF pixel) const {
    const QRect area = PlotArea();
    const auto [h, v] = Shown();
    const double x = (pixel.x() - area.left()) / std::max(area.width() - 1, 1);
    const double y = (area.bottom() - pixel.y()) / std::max(area.height() - 1, 1);
    return {h.lower + x * (h.upper - h.lower), v.lower + y * (v.upper - v.lower)};
}

bool PointCloudGraph::TakeIntoRange(PlanePoint p) {
    if (plotted == 0) {
        horizontal = RangeAround(p.a, kFirstSpan);
        vertical = RangeAround(p.b, kFirstSpan);
        return true;
    }
    const AxisRange h = WidenedRange(horizontal, p.a);
    const AxisRange v = WidenedRange(vertical, p.b);
    const bool changed = h.lower != horizontal.lower || h.upper != horizontal.upper ||
                         v.lower != vertical.lower || v.upper != vertical.upper;
    horizontal = h;
    vertical = v;
    return changed;
}

PointCloudGraph::CloudMap PointCloudGraph::MapForCloud() const {
    const QRect area = PlotArea();
    const auto [h, v] = Shown();
    // As ToPixel, from the top left corner of the plot area.
    return {h.lower, (area.width() - 1) / (h.upper - h.lower), v.upper,
            (area.height() - 1) / (v.upper - v.lower)};
}

void PointCloudGraph::PaintDot(const CloudMap& map, PlanePoint p) {
    // A 3 x 3 dot written straight into the picture: no painter per point.
    const int cx = int(std::lround((p.a - map.lowerA) * map.pixelsPerA));
    const int cy = int(std::lround((map.upperB - p.b) * map.pixelsPerB));
    const QRgb dot = kDotColour.rgb();
    for (int y = cy - 1; y <= cy + 1; ++y) {
        if (y < 0 || y >= cloud.height()) continue;
        auto* line = reinterpret_cast<QRgb*>(cloud.scanLine(y));
        for (int x = cx - 1; x <= cx + 1; ++x) {
            if (x >= 0 && x < cloud.width()) line[x] = dot;
        }
    }
}

void PointCloudGraph::RepaintCloud() {
    const QRect area = PlotArea();
    if (cloud.size() != area.size()) cloud = QImage(area.size(), QImage::Format_RGB32);
    cloud.fill(Qt::white);
    const CloudMap map = MapForCloud();
    for (int k = 0; k < plotted; ++k)
        PaintDot(map, GraphCoordinates(records[std::size_t(k)], graph));
}

void PointCloudGraph::PlotUpTo(int count) {
    count = std::min(count, int(records.size()));
    if (plotted >= count) return;
    const int first = plotted;
    bool widened = false;
    for (; plotted < count; ++plotted)
        widened = TakeIntoRange(GraphCoordinates(records[std::size_t(plotted)], graph)) || widened;
    if (widened || cloud.isNull()) {
        RepaintCloud();
    } else {
        const CloudMap map = MapForCloud();
        for (int k = first; k < count; ++k)
            PaintDot(map, GraphCoordinates(records[std::size_t(k)], graph));
    }
    cursorRecord = count - 1;
    cursor = GraphCoordinates(records[std::size_t(count - 1)], graph);
    update();
}

void PointCloudGraph::Clear() {
    plotted = 0;
    cursor.reset();
    cursorRecord.reset();
    horizontal = vertical = AxisRange{0, 4096};
    RepaintCloud();
    update();
}

void PointCloudGraph::SetCursor(PlanePoint point) {
    cursor = point;
    cursorRecord.reset();
    update();
}

void PointCloudGraph::SetCursorRecord(int record) {
    cursor = GraphCoordinates(records[std::size_t(record)], graph);
    cursorRecord = record;
    update();
}

void PointCloudGraph::MoveCursorNear(QPointF pixel) {
    const QRect area = PlotArea();
    const auto [h, v] = Shown();
    const double scaleA = (area.width() - 1) / (h.upper - h.lower);
    const double scaleB = (area.height() - 1) / (v.upper - v.lower);
    const auto k = NearestTeachRecord(records, plotted, graph, FromPixel(pixel), scaleA, scaleB);
    if (!k) return;
    SetCursorRecord(*k);
}

void PointCloudGraph::SnapCursorTo(PlanePoint near) {
    if (plotted == 0) return;
    MoveCursorNear(ToPixel(near));
    emit CursorCommitted(graph);
}

void PointCloudGraph::resizeEvent(QResizeEvent*) {
    RepaintCloud();
}

void PointCloudGraph::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRect area = PlotArea();
    if (cloud.size() != area.size()) RepaintCloud();
    painter.drawImage(area.topLeft(), cloud);
    painter.setPen(palette().windowText().color());
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    const QFontMetrics metrics = fontMetrics();
    painter.drawText(QRect(0, 2, width(), metrics.height()), Qt::AlignHCenter, title);
    // Round numbers, as many as leave room between them.
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("00000"));
    const auto [h, v] = Shown();
    const int columns = std::max(area.width() / (labelWidth * 2), 1);
    for (double a : TickValues(h, columns)) {
        const QPointF x = ToPixel({a, v.lower});
        painter.drawLine(QPointF(x.x(), area.bottom()), QPointF(x.x(), area.bottom() + 3));
        const QString text = TickText(a);
        const int w = metrics.horizontalAdvance(text);
        const int tx = std::clamp(int(x.x()) - w / 2, 0, width() - w);
        painter.drawText(tx, area.bottom() + 4 + metrics.ascent(), text);
    }
    const int rows = std::max(area.height() / (metrics.height() * 3), 1);
    for (double b : TickValues(v, rows)) {
        const QPointF y = ToPixel({h.lower, b});
        painter.drawLine(QPointF(area.left() - 3, y.y()), QPointF(area.left(), y.y()));
        painter.drawText(QRect(metrics.height(), int(y.y()) - metrics.height() / 2,
                               area.left() - 5 - metrics.height(), metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, TickText(b));
    }
    painter.drawText(
        QRect(area.left(), area.bottom() + 4 + metrics.height(), area.width(), metrics.height()),
        Qt::AlignHCenter, horizontalTitle);
    painter.save();
    painter.translate(2, area.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-area.height() / 2, 0, area.height(), metrics.height()),
                     Qt::AlignHCenter, verticalTitle);
    painter.restore();

    if (!cursor) return;
    const QPointF c = ToPixel(*cursor);
    painter.setClipRect(area);
    painter.setPen(QPen(kCursorColour, 1, Qt::DotLine));
    painter.drawLine(QPointF(area.left(), c.y()), QPointF(area.right(), c.y()));
    painter.drawLine(QPointF(c.x(), area.top()), QPointF(c.x(), area.bottom()));
    painter.setPen(QPen(kCursorColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(c.x() - 4, c.y() - 4, 8, 8));
}

void PointCloudGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || plotted == 0) return QWidget::mousePressEvent(event);
    dragging = true;
    MoveCursorNear(event->position());
}

void PointCloudGraph::mouseMoveEvent(QMouseEvent* event) {
    if (dragging) MoveCursorNear(event->position());
}

void PointCloudGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging || event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    dragging = false;
    MoveCursorNear(event->position());
    emit CursorCommitted(graph);
}

void PointCloudGraph::keyPressEvent(QKeyEvent* event) {
    // Left and right step the cursor through the records in the order they were recorded.
    const int step = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
    if (step == 0 || plotted == 0) return QWidget::keyPressEvent(event);
    // From the record under the cursor, not the first one at its position: records that share
    // a position would otherwise hold the step there.
    const int k = cursorRecord ? *cursorRecord
                  : cursor     ? FindTeachRecord(records, plotted, graph, *cursor)
                               : 0;
    SetCursorRecord(std::clamp(k + step, 0, plotted - 1));
    emit CursorCommitted(graph);
}

} // namespace teach
