#include "scope/ScopePanel.h"

#include "controls/CommandButton.h"
#include "controls/ValueDisplay.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include <qcustomplot.h>

#include <cmath>

namespace scope {

namespace {

const QColor kTraceColours[3] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
const QColor kDigitalGrey(128, 128, 128);
const QColor kDigitalTeal(0, 128, 128);
const QColor kCursorColours[2] = {QColor(0, 0, 0), QColor(160, 0, 160)};
constexpr int kGrabPixels = 6; // how near a click must come to a cursor line to take it

// Bits 0..4 are the outputs OUT0..OUT4, bit 5 the input IN0, at the middle of their bands.
constexpr std::array<const char*, kDigitalTraces> kDigitalNames = {"OUT0", "OUT1", "OUT2",
                                                                   "OUT3", "OUT4", "IN0"};

QCustomPlot* MakePlot(QWidget* parent, const char* role) {
    auto* plot = new QCustomPlot(parent);
    plot->setObjectName(QString::fromLatin1(role));
    plot->setMinimumHeight(120);
    plot->xAxis->setRange(0, kSamples);
    plot->xAxis->setLabel(QStringLiteral("samples"));
    // Both graphs keep the same left edge, so their time axes and cursors line up: wide enough
    // for the analogue numbers and the digital names alike.
    const QFontMetrics metrics(plot->yAxis->tickLabelFont());
    const int numbers = std::max(metrics.horizontalAdvance(QStringLiteral("-10000")),
                                 metrics.horizontalAdvance(QStringLiteral("OUT0")));
    QCPAxisRect* rect = plot->axisRect();
    rect->setAutoMargins(QCP::msTop | QCP::msRight | QCP::msBottom);
    rect->setMargins(QMargins(
        numbers + plot->yAxis->tickLabelPadding() + plot->yAxis->tickLengthOut() + 8, 0, 0, 0));
    return plot;
}

QCPItemStraightLine* MakeLine(QCustomPlot* plot, const QColor& colour, bool vertical, double at) {
    auto* line = new QCPItemStraightLine(plot);
    line->setPen(QPen(colour, 1, Qt::DashLine));
    line->setSelectable(false);
    line->point1->setCoords(vertical ? at : 0, vertical ? 0 : at);
    line->point2->setCoords(vertical ? at : 1, vertical ? 1 : at);
    return line;
}

} // namespace

ScopePanel::ScopePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SCOPEP"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    editScopeSignal = new QComboBox(this);
    editScopeSignal->setObjectName(QStringLiteral("EditScopeSignal"));
    for (const char* item : {"ALL", "RED", "GREEN", "BLUE"})
        editScopeSignal->addItem(QString::fromLatin1(item));
    auto* signalCaption = new QLabel(tr("DISPLAY"), this);
    signalCaption->setBuddy(editScopeSignal);
    top->addWidget(signalCaption);
    top->addWidget(editScopeSignal);
    waiting = new QLabel(tr("WAITING FOR TRIGGER ..."), this);
    waiting->setObjectName(QStringLiteral("ScopeWaiting"));
    waiting->setStyleSheet(QStringLiteral("background:#FFFF00; color:#000000; padding:2px;"));
    waiting->hide();
    top->addWidget(waiting);
    top->addStretch(1);
    buttonZoom11 = core::MakeRoleButton(this, "ButtonZoom11", tr("ZOOM 1:1"));
    top->addWidget(buttonZoom11);
    layout->addLayout(top);

    graphScope = MakePlot(this, "GraphScope");
    graphDigital = MakePlot(this, "GraphScopeDigital");
    graphScope->setAccessibleName(tr("analogue scope chart"));
    graphDigital->setAccessibleName(tr("digital scope chart"));
    for (int c = 0; c < 3; ++c)
        graphScope->addGraph()->setPen(QPen(kTraceColours[c]));
    for (int bit = 0; bit < kDigitalTraces; ++bit) {
        QCPGraph* trace = graphDigital->addGraph();
        trace->setPen(QPen(bit == 5 ? kDigitalTeal : kDigitalGrey));
        trace->setLineStyle(QCPGraph::lsStepLeft);
    }
    graphDigital->yAxis->setRange(-0.5, 11.5);
    auto names = QSharedPointer<QCPAxisTickerText>::create();
    const auto low = DigitalLevels(0);
    const auto high = DigitalLevels(0x3F);
    for (std::size_t bit = 0; bit < kDigitalNames.size(); ++bit)
        names->addTick((low[bit] + high[bit]) / 2.0, QString::fromLatin1(kDigitalNames[bit]));
    graphDigital->yAxis->setTicker(names);
    graphDigital->yAxis->grid()->setVisible(false);
    // The time in ms above the analogue samples, once a cycle time is known.
    graphScope->xAxis2->setLabel(QStringLiteral("ms"));
    graphScope->yAxis->setLabel(QStringLiteral("signal [digits]"));
    graphScope->xAxis2->setVisible(false);
    for (int i = 0; i < 2; ++i) {
        const double x = i == 0 ? 32 : 96;
        cursorAt[std::size_t(i)] = QPointF(x, 1000);
        analogueCursors[std::size_t(i)] = {MakeLine(graphScope, kCursorColours[i], true, x),
                                           MakeLine(graphScope, kCursorColours[i], false, 1000)};
        digitalCursors[std::size_t(i)] = MakeLine(graphDigital, kCursorColours[i], true, x);
    }
    layout->addWidget(graphScope, 3);
    layout->addWidget(graphDigital, 2);
    // The time axis of the digital graph follows the analogue graph's zoom.
    connect(graphScope->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this](const QCPRange& range) {
                graphDigital->xAxis->setRange(range);
                graphDigital->replot(QCustomPlot::rpQueuedReplot);
                graphScope->xAxis2->setRange(range.lower * msPerSample, range.upper * msPerSample);
            });
    graphScope->installEventFilter(this);
    graphScope->setSelectionRectMode(QCP::srmNone);
    connect(graphScope->selectionRect(), &QCPSelectionRect::accepted, this,
            [this] { emit CursorsMoved(); });

    auto* bottom = new QHBoxLayout;
    dispDeltaX = core::MakeValueDisplay(this, "DispDeltaX", 80);
    dispDeltaY = core::MakeValueDisplay(this, "DispDeltaY", 80);
    auto* xCaption = new QLabel(tr("delta X [ms]"), this);
    xCaption->setBuddy(dispDeltaX);
    auto* yCaption = new QLabel(tr("delta Y"), this);
    yCaption->setBuddy(dispDeltaY);
    bottom->addWidget(xCaption);
    bottom->addWidget(dispDeltaX);
    bottom->addWidget(yCaption);
    bottom->addWidget(dispDeltaY);
    bottom->addStretch(1);
    buttonCloseSP = core::MakeRoleButton(this, "ButtonCloseSP", tr("CLOSE"));
    bottom->addWidget(buttonCloseSP);
    layout->addLayout(bottom);

    connect(editScopeSignal, &QComboBox::activated, this, [this] { DrawAnalogue(); });
    connect(buttonZoom11, &QPushButton::clicked, this, &ScopePanel::ZoomResetRequested);
    connect(buttonCloseSP, &QPushButton::clicked, this, &ScopePanel::CloseRequested);
    ResetAxes(4100);
}

void ScopePanel::ShowTraces(const ScopeBuffer& buffer) {
    shown = buffer;
    DrawAnalogue();
    QVector<double> x(kSamples);
    std::array<QVector<double>, kDigitalTraces> levels;
    for (auto& trace : levels)
        trace.resize(kSamples);
    for (int p = 0; p < kSamples; ++p) {
        x[p] = p;
        const auto bits = DigitalLevels(buffer[3][std::size_t(p)]);
        for (int bit = 0; bit < kDigitalTraces; ++bit)
            levels[std::size_t(bit)][p] = bits[std::size_t(bit)];
    }
    for (int bit = 0; bit < kDigitalTraces; ++bit)
        graphDigital->graph(bit)->setData(x, levels[std::size_t(bit)], true);
    graphDigital->replot(QCustomPlot::rpQueuedReplot);
}

void ScopePanel::DrawAnalogue() {
    const int selected = editScopeSignal->currentIndex();
    QVector<double> x(kSamples);
    for (int p = 0; p < kSamples; ++p)
        x[p] = p;
    for (int c = 0; c < 3; ++c) {
        QCPGraph* trace = graphScope->graph(c);
        if (selected != 0 && selected != c + 1) {
            trace->data()->clear();
            continue;
        }
        QVector<double> y(kSamples);
        for (int p = 0; p < kSamples; ++p)
            y[p] = shown[std::size_t(c)][std::size_t(p)];
        trace->setData(x, y, true);
    }
    graphScope->replot(QCustomPlot::rpQueuedReplot);
}

int ScopePanel::DisplaySignal() const {
    return editScopeSignal->currentIndex();
}

void ScopePanel::ResetAxes(double upper) {
    graphScope->xAxis->setRange(0, kSamples);
    graphScope->yAxis->setRange(0, upper);
    graphScope->replot(QCustomPlot::rpQueuedReplot);
}

void ScopePanel::ZoomTo(double xLow, double xHigh, double yLow, double yHigh) {
    graphScope->xAxis->setRange(xLow, xHigh);
    graphScope->yAxis->setRange(yLow, yHigh);
    graphScope->replot(QCustomPlot::rpQueuedReplot);
    emit CursorsMoved();
}

double ScopePanel::XLow() const {
    return graphScope->xAxis->range().lower;
}

double ScopePanel::XHigh() const {
    return graphScope->xAxis->range().upper;
}

double ScopePanel::YHigh() const {
    return graphScope->yAxis->range().upper;
}

CursorPositions ScopePanel::Cursors() const {
    return {cursorAt[0].x(), cursorAt[0].y(), cursorAt[1].x(), cursorAt[1].y()};
}

void ScopePanel::MoveCursorLines(int index) {
    const QPointF at = cursorAt[std::size_t(index)];
    auto& lines = analogueCursors[std::size_t(index)];
    lines[0]->point1->setCoords(at.x(), 0);
    lines[0]->point2->setCoords(at.x(), 1);
    lines[1]->point1->setCoords(0, at.y());
    lines[1]->point2->setCoords(1, at.y());
    digitalCursors[std::size_t(index)]->point1->setCoords(at.x(), 0);
    digitalCursors[std::size_t(index)]->point2->setCoords(at.x(), 1);
    graphScope->replot(QCustomPlot::rpQueuedReplot);
    graphDigital->replot(QCustomPlot::rpQueuedReplot);
}

void ScopePanel::PlaceCursor(int index, double x, double y) {
    cursorAt[std::size_t(index)] = QPointF(std::clamp(x, 0.0, double(kSamples)), y);
    MoveCursorLines(index);
    emit CursorsMoved();
}

QImage ScopePanel::PrintPicture() const {
    const QPixmap analogue = graphScope->toPixmap();
    const QPixmap digital = graphDigital->toPixmap();
    const QString readings =
        QStringLiteral("DISPLAY: %1    delta X [ms]: %2    delta Y: %3")
            .arg(editScopeSignal->currentText(), dispDeltaX->text(), dispDeltaY->text());
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height() + 8;
    QImage picture(std::max(analogue.width(), digital.width()),
                   analogue.height() + digital.height() + lineHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, analogue);
    painter.drawPixmap(0, analogue.height(), digital);
    painter.setFont(font());
    painter.setPen(Qt::black);
    painter.drawText(
        QRect(4, analogue.height() + digital.height(), picture.width() - 8, lineHeight),
        Qt::AlignLeft | Qt::AlignVCenter, readings);
    return picture;
}

void ScopePanel::ShowDeltas(double deltaX, int deltaY) {
    dispDeltaX->setText(QString::number(deltaX, 'f', DeltaXDecimals(deltaX)));
    dispDeltaY->setText(QString::number(deltaY));
}

void ScopePanel::ShowSampleTime(double ms) {
    if (ms == msPerSample) return;
    msPerSample = ms;
    const QCPRange samples = graphScope->xAxis->range();
    graphScope->xAxis2->setRange(samples.lower * ms, samples.upper * ms);
    graphScope->xAxis2->setVisible(ms > 0);
    graphScope->replot(QCustomPlot::rpQueuedReplot);
}

void ScopePanel::ShowWaiting(bool shownNow) {
    waiting->setVisible(shownNow);
}

bool ScopePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != graphScope) return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    // Only mouse events from here on.
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress: {
        if (mouse->button() != Qt::LeftButton) break;
        // Ctrl and a drag zooms into the rectangle; otherwise a cursor near the click is taken.
        const bool zoom = mouse->modifiers() & Qt::ControlModifier;
        graphScope->setSelectionRectMode(zoom ? QCP::srmZoom : QCP::srmNone);
        if (zoom) break;
        const QPointF p = mouse->position();
        double best = kGrabPixels;
        dragging = -1;
        for (int i = 0; i < 2; ++i) {
            const double px = graphScope->xAxis->coordToPixel(cursorAt[std::size_t(i)].x());
            const double py = graphScope->yAxis->coordToPixel(cursorAt[std::size_t(i)].y());
            const double distance = std::min(std::fabs(px - p.x()), std::fabs(py - p.y()));
            if (distance <= best) {
                best = distance;
                dragging = i;
            }
        }
        // A click away from both cursors brings the nearer one there.
        if (dragging < 0) {
            const double x = graphScope->xAxis->pixelToCoord(p.x());
            dragging = std::fabs(x - cursorAt[0].x()) <= std::fabs(x - cursorAt[1].x()) ? 0 : 1;
        }
        PlaceCursor(dragging, graphScope->xAxis->pixelToCoord(p.x()),
                    graphScope->yAxis->pixelToCoord(p.y()));
        return true;
    }
    case QEvent::MouseMove:
        if (dragging < 0) break;
        PlaceCursor(dragging, graphScope->xAxis->pixelToCoord(mouse->position().x()),
                    graphScope->yAxis->pixelToCoord(mouse->position().y()));
        return true;
    case QEvent::MouseButtonRelease:
        if (dragging < 0) break;
        dragging = -1;
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace scope
