#include "teach/PointCloudGraph.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace teach {

namespace {

// The span a cloud starts with around its first point: a still object's noise fills part of it.
constexpr double kFirstSpan = 64;
const QColor kDotColour(0xFF, 0x00, 0x00);
const QColor kCursorColour(0x00, 0x00, 0x00);

QString TickText(double value) {
    return QString::number(std::lround(value));
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
    update();
}

QRect PointCloudGraph::PlotArea() const {
    const QFontMetrics metrics = fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("00000")) + 8;
    const int top = metrics.height() + 6;
    const int bottom = metrics.height() + 8;
    return QRect(left, top, std::max(width() - left - 10, 10),
                 std::max(height() - top - bottom, 10));
}

QPointF PointCloudGraph::ToPixel(PlanePoint p) const {
    const QRect area = PlotArea();
    const double x = (p.a - horizontal.lower) / (horizontal.upper - horizontal.lower);
    const double y = (p.b - vertical.lower) / (vertical.upper - vertical.lower);
    return {area.left() + x * (area.width() - 1), area.bottom() - y * (area.height() - 1)};
}

PlanePoint PointCloudGraph::FromPixel(QPointF pixel) const {
    const QRect area = PlotArea();
    const double x = (pixel.x() - area.left()) / std::max(area.width() - 1, 1);
    const double y = (area.bottom() - pixel.y()) / std::max(area.height() - 1, 1);
    return {horizontal.lower + x * (horizontal.upper - horizontal.lower),
            vertical.lower + y * (vertical.upper - vertical.lower)};
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

void PointCloudGraph::PaintDot(PlanePoint p) {
    // A 3 x 3 dot written straight into the picture: no painter per point.
    const QPointF pixel = ToPixel(p) - PlotArea().topLeft();
    const int cx = int(std::lround(pixel.x()));
    const int cy = int(std::lround(pixel.y()));
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
    for (int k = 0; k < plotted; ++k)
        PaintDot(GraphCoordinates(records[std::size_t(k)], graph));
}

void PointCloudGraph::PlotNext() {
    if (plotted >= int(records.size())) return;
    const PlanePoint p = GraphCoordinates(records[std::size_t(plotted)], graph);
    const bool widened = TakeIntoRange(p);
    ++plotted;
    if (widened || cloud.isNull())
        RepaintCloud();
    else
        PaintDot(p);
    cursor = p;
    cursorRecord = plotted - 1;
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
    const double scaleA = (area.width() - 1) / (horizontal.upper - horizontal.lower);
    const double scaleB = (area.height() - 1) / (vertical.upper - vertical.lower);
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
    // As many ticks as leave room between their numbers.
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("00000"));
    const int ticks = std::clamp(area.width() / (labelWidth * 2), 2, 4);
    for (int i = 0; i <= ticks; ++i) {
        const double a = horizontal.lower + (horizontal.upper - horizontal.lower) * i / ticks;
        const double b = vertical.lower + (vertical.upper - vertical.lower) * i / ticks;
        const QPointF x = ToPixel({a, vertical.lower});
        const QPointF y = ToPixel({horizontal.lower, b});
        painter.drawLine(QPointF(x.x(), area.bottom()), QPointF(x.x(), area.bottom() + 3));
        painter.drawLine(QPointF(area.left() - 3, y.y()), QPointF(area.left(), y.y()));
        const QString xt = TickText(a);
        const int w = metrics.horizontalAdvance(xt);
        const int tx = std::clamp(int(x.x()) - w / 2, 0, width() - w);
        painter.drawText(tx, area.bottom() + 4 + metrics.ascent(), xt);
        const QString yt = TickText(b);
        painter.drawText(
            QRect(0, int(y.y()) - metrics.height() / 2, area.left() - 5, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, yt);
    }

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
