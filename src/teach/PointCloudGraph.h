#pragma once
// One graph of the recorded-value teach panel: the recorded points as a cloud of dots in one
// plane, and a cursor that only ever rests on a recorded point. The dots are painted once into
// a picture of their own, so a new point costs the same whether the cloud holds ten points or
// sixty thousand; only a widened axis or a resized graph paints the cloud again. One unit is as
// many pixels on either axis: the range with pixels to spare is shown wider around its centre.
#include "teach/RecordedValueTeach.h"

#include <QImage>
#include <QWidget>

namespace teach {

class PointCloudGraph : public QWidget {
    Q_OBJECT
public:
    // `records` is the panel's point buffer; the graph shows records 0..Plotted()-1 of it.
    PointCloudGraph(const std::vector<core::TeachPoint>& records, int graph,
                    QWidget* parent = nullptr);

    // The plane's name as "horizontal/vertical" (X/INT, s/M, ...); its parts title the axes.
    void SetTitle(const QString& title);
    // Adds records Plotted()..count-1 of the buffer to the cloud and moves the cursor onto the
    // last of them.
    void PlotUpTo(int count);
    // Empties the cloud; the cursor leaves the graph.
    void Clear();
    int Plotted() const { return plotted; }

    // The cursor at a position, which need not be a record's.
    void SetCursor(PlanePoint point);
    // The cursor on record `record` of the buffer.
    void SetCursorRecord(int record);
    std::optional<PlanePoint> Cursor() const { return cursor; }
    // The record the cursor was put on; nothing when it was put at a bare position. Records can
    // share their coordinates, so the position alone does not tell which one it is.
    std::optional<int> CursorRecord() const { return cursorRecord; }
    // Moves the cursor onto the recorded point nearest to `near` as the operator sees it and
    // commits the move; nothing when no point is plotted.
    void SnapCursorTo(PlanePoint near);

    // The ranges the cloud has grown to; the graph shows them or, for square units, wider.
    AxisRange HorizontalRange() const { return horizontal; }
    AxisRange VerticalRange() const { return vertical; }
    QSize sizeHint() const override { return {260, 200}; }
    QSize minimumSizeHint() const override { return {160, 120}; }

signals:
    // The operator has let the cursor go on a point: the other graphs follow.
    void CursorCommitted(int graph);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect PlotArea() const;
    // The shown ranges for the plot area as it is now.
    std::pair<AxisRange, AxisRange> Shown() const;
    QPointF ToPixel(PlanePoint p) const;
    PlanePoint FromPixel(QPointF pixel) const;
    // Widens the axes when `p` lies outside them; true when they changed.
    bool TakeIntoRange(PlanePoint p);
    // Where points land in the picture of the cloud, worked out once for many dots: the plot
    // area and the shown ranges cost the measuring of text.
    struct CloudMap {
        double lowerA = 0, pixelsPerA = 0;
        double upperB = 0, pixelsPerB = 0;
    };
    CloudMap MapForCloud() const;
    void PaintDot(const CloudMap& map, PlanePoint p);
    void RepaintCloud();
    void MoveCursorNear(QPointF pixel);

    const std::vector<core::TeachPoint>& records;
    const int graph;
    QString title;
    QString horizontalTitle, verticalTitle;
    int plotted = 0;
    AxisRange horizontal{0, 4096};
    AxisRange vertical{0, 4096};
    QImage cloud;
    std::optional<PlanePoint> cursor;
    std::optional<int> cursorRecord;
    bool dragging = false;
};

} // namespace teach
