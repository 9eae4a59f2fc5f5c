#pragma once
// The scope panel: the analogue graph (three traces over 128 samples) and the digital graph
// (six stacked on/off traces), each with two cursors that move together in time, the delta X and
// delta Y displays, the choice of analogue traces, the waiting indicator, ZOOM 1:1 and CLOSE.
#include "scope/ScopeModel.h"

#include <QImage>
#include <QWidget>

#include <array>

class QCPItemStraightLine;
class QComboBox;
class QCustomPlot;
class QLabel;
class QPushButton;

namespace scope {

using ScopeBuffer = std::array<Block, kBlocks>;

struct CursorPositions {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
};

class ScopePanel : public QWidget {
    Q_OBJECT
public:
    explicit ScopePanel(QWidget* parent = nullptr);

    // The analogue traces the display-signal selector chooses, and the six digital traces.
    void ShowTraces(const ScopeBuffer& buffer);
    // x 0..128, y 0..`upper`.
    void ResetAxes(double upper);
    CursorPositions Cursors() const;
    // Cursor `index` (0 or 1) of the analogue graph to (x, y); the digital one follows in x.
    void PlaceCursor(int index, double x, double y);
    void ShowDeltas(double deltaX, int deltaY);
    // The time one sample stands for (cycle time x scan rate): the analogue graph's time axis
    // in ms above its samples; 0 (no cycle time measured) shows samples alone.
    void ShowSampleTime(double msPerSample);
    void ShowWaiting(bool waiting);
    int DisplaySignal() const;
    // What a printout shows of the panel: the two graphs with their axes and cursors, and a
    // line with the signal shown and the cursors' deltas; none of the panel's controls.
    QImage PrintPicture() const;
    // The zoom of a Ctrl-drag on the analogue graph (plot coordinates).
    void ZoomTo(double xLow, double xHigh, double yLow, double yHigh);
    double XLow() const;
    double XHigh() const;
    double YHigh() const;

signals:
    void CursorsMoved();
    void ZoomResetRequested();
    void CloseRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DrawAnalogue();
    void MoveCursorLines(int index);

    QCustomPlot* graphScope;
    QCustomPlot* graphDigital;
    std::array<std::array<QCPItemStraightLine*, 2>, 2>
        analogueCursors{}; // [cursor][vertical, horizontal]
    std::array<QCPItemStraightLine*, 2> digitalCursors{};
    std::array<QPointF, 2> cursorAt{};
    int dragging = -1;
    double msPerSample = 0;
    ScopeBuffer shown{};
    QLabel* dispDeltaX;
    QLabel* dispDeltaY;
    QComboBox* editScopeSignal;
    QLabel* waiting;
    QPushButton* buttonZoom11;
    QPushButton* buttonCloseSP;
};

} // namespace scope
