#include "live/GraphPanel.h"

#include "core/Shell.h"
#include "live/LiveGraphs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>

namespace live {

namespace {

struct SignalLook {
    const char* name;
    const char* displayName;
    QRgb colour;
};

// In list order: the list's text, the display's role, the line colour.
constexpr std::array<SignalLook, kTraceSignals> kSignals = {{
    {"RED", "DispGpRED", 0xFF0000},
    {"GREEN", "DispGpGREEN", 0x00FF00},
    {"BLUE", "DispGpBLUE", 0x0000FF},
    {"X", "DispGpX", 0xFF0000},
    {"Y", "DispGpY", 0x00FF00},
    {"INT", "DispGpINT", 0x008080},
    {"TEMP", "DispGpTEMP", 0x008080},
}};

constexpr int kFirstCoordinate = int(TraceSignal::X);

QCustomPlot* MakeSignalGraph(QWidget* parent, const SignalLook& look) {
    auto* plot = new QCustomPlot(parent);
    plot->setObjectName(QStringLiteral("PanelGraphGraph"));
    plot->setMinimumSize(200, 150);
    const QFont tickFont(plot->font().family(), 7);
    const QFont titleFont(plot->font().family(), 8);
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
        axis->setTickLabelFont(tickFont);
        axis->setLabelFont(titleFont);
    }
    plot->xAxis->setLabel(QStringLiteral("samples"));
    plot->yAxis->setLabel(QString::fromLatin1(look.name));
    plot->xAxis->setRange(0, 100);
    plot->yAxis->setRange(0, 4096);
    // One line per signal for the whole recording; each sample adds its point to it.
    QCPGraph* line = plot->addGraph();
    line->setPen(QPen(QColor::fromRgb(look.colour)));
    line->setLineStyle(QCPGraph::lsLine);
    line->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    plot->hide();
    return plot;
}

} // namespace

GraphPanel::GraphPanel(core::Shell& shell, RefreshClock& clock, QWidget* parent)
    : QWidget(parent), shell(shell) {
    setObjectName(QStringLiteral("GRAPHP"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    editSignal = new QComboBox(this);
    editSignal->setObjectName(QStringLiteral("EditSignal"));
    editSignal->setAccessibleName(tr("SIGNAL"));
    for (int s = 0; s < kTraceSignals; ++s)
        editSignal->addItem(QString::fromLatin1(kSignals[std::size_t(s)].name), s);
    connect(editSignal, &QComboBox::activated, this, &GraphPanel::CBF_EditSignal);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("SIGNAL"), this));
    top->addWidget(editSignal);
    top->addStretch(1);
    layout->addLayout(top);

    for (int s = 0; s < kTraceSignals; ++s) {
        graphs[std::size_t(s)] = MakeSignalGraph(this, kSignals[std::size_t(s)]);
        graphs[std::size_t(s)]->setAccessibleName(
            tr("%1 signal graph").arg(editSignal->itemText(s)));
        layout->addWidget(graphs[std::size_t(s)], 1);
    }
    graphs[0]->show();

    layout->addWidget(BuildDisplays(clock));

    buttonGpClose = new QPushButton(tr("CLOSE"), this);
    buttonGpClose->setObjectName(QStringLiteral("ButtonGpClose"));
    connect(buttonGpClose, &QPushButton::clicked, this, &GraphPanel::CBF_ButtonGpClose);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(buttonGpClose);
    layout->addLayout(bottom);
}

QWidget* GraphPanel::BuildDisplays(RefreshClock& clock) {
    auto* block = new QWidget(this);
    auto* grid = new QGridLayout(block);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    // RED GREEN BLUE TEMP above, X Y INT below.
    constexpr std::array<std::pair<int, int>, kTraceSignals> kCells = {
        {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {0, 3}}};
    for (int s = 0; s < kTraceSignals; ++s) {
        const auto& look = kSignals[std::size_t(s)];
        auto* caption = new QLabel(QString::fromLatin1(look.name), block);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* display = new NumericDisplay(QString::fromLatin1(look.displayName), clock, block);
        displays[std::size_t(s)] = display;
        caption->setBuddy(display);
        if (s >= kFirstCoordinate && s < kFirstCoordinate + 3) {
            caption->setObjectName(QStringLiteral("LabelGp") + QString::fromLatin1(look.name));
            coordinateLabels[std::size_t(s - kFirstCoordinate)] = caption;
        }
        const auto [row, column] = kCells[std::size_t(s)];
        grid->addWidget(caption, row, column * 2);
        grid->addWidget(display, row, column * 2 + 1);
    }
    grid->setColumnStretch(8, 1);
    return block;
}

void GraphPanel::UpdateLiveLabels(bool siM) {
    for (int i = 0; i < 3; ++i) {
        const QString text = QString::fromLatin1(CoordinateName(i, siM));
        editSignal->setItemText(kFirstCoordinate + i, text);
        coordinateLabels[std::size_t(i)]->setText(text);
        graphs[std::size_t(kFirstCoordinate + i)]->yAxis->setLabel(text);
        graphs[std::size_t(kFirstCoordinate + i)]->replot(QCustomPlot::rpQueuedReplot);
        graphs[std::size_t(kFirstCoordinate + i)]->setAccessibleName(
            tr("%1 signal graph").arg(text));
    }
}

void GraphPanel::SelectSignalGraph() {
    for (QCustomPlot* graph : graphs)
        graph->hide();
    const int value = editSignal->currentIndex() < 0 ? -1 : editSignal->currentData().toInt();
    QCustomPlot* shown = graphs[std::size_t(SignalOfListValue(value))];
    shown->show();
    // A hidden graph was drawn into but not painted.
    shown->replot(QCustomPlot::rpQueuedReplot);
}

void GraphPanel::ClearSignalGraphs(const protocol::MeasurementFrame& frame) {
    trace.Clear(frame);
    nextKey = 0;
    for (QCustomPlot* graph : graphs) {
        graph->graph(0)->data()->clear();
        graph->xAxis->setRange(0, 100);
        graph->yAxis->setRange(0, 4096);
        graph->replot(QCustomPlot::rpQueuedReplot);
    }
}

void GraphPanel::AppendSignalSample(const protocol::MeasurementFrame& frame) {
    for (int s = 0; s < kTraceSignals; ++s)
        displays[std::size_t(s)]->SetValue(frame.w[std::size_t(FrameWordOf(TraceSignal(s)))]);
    trace.Append(frame);
    for (int s = 0; s < kTraceSignals; ++s)
        Draw(TraceSignal(s));
    nextKey += 1;
}

// The segment from the previous point to the current one. Its start is the line's last point
// already (or, for the first sample, the same point as its end), so the current point is all
// the line needs.
void GraphPanel::Draw(TraceSignal signal) {
    const std::size_t s = std::size_t(signal);
    QCustomPlot* graph = graphs[s];
    QCPGraph* line = graph->graph(0);
    const std::uint16_t value = trace.Current(signal).value;
    if (line->data()->isEmpty()) {
        lowest[s] = value;
        highest[s] = value;
    } else {
        lowest[s] = std::min(lowest[s], value);
        highest[s] = std::max(highest[s], value);
    }
    line->addData(nextKey, value);
    graph->xAxis->setRange(0, std::max(nextKey, 1.0));
    const double margin = std::max(1.0, (highest[s] - lowest[s]) / 20.0);
    graph->yAxis->setRange(lowest[s] - margin, highest[s] + margin);
    if (graph->isVisibleTo(this)) graph->replot(QCustomPlot::rpQueuedReplot);
}

void GraphPanel::CBF_EditSignal() {
    SelectSignalGraph();
}

void GraphPanel::CBF_ButtonGpClose() {
    shell.ShowChildPanel(core::ChildPanel::Data);
}

} // namespace live
