#include "live/DataPanel.h"

#include "app/Program.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <qcustomplot.h>

namespace {

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// Axis ranges until the first data arrive: a strip chart shows 100 samples of 12-bit values,
// a colour plane the whole coordinate range.
// Puts captions and displays side by side in one row of the value block.
void AddValueRow(QGridLayout* grid, int row,
                 std::initializer_list<std::pair<QLabel*, QWidget*>> cells) {
    int column = 0;
    for (const auto& [caption, display] : cells) {
        grid->addWidget(caption, row, column++);
        grid->addWidget(display, row, column++);
    }
}

QCustomPlot* MakePlot(const QString& name, QWidget* parent, double xMax, double yMax) {
    auto* plot = new QCustomPlot(parent);
    plot->setObjectName(name);
    plot->setMinimumSize(120, 100);
    const QFont tickFont(plot->font().family(), 7);
    plot->xAxis->setTickLabelFont(tickFont);
    plot->yAxis->setTickLabelFont(tickFont);
    plot->xAxis->setRange(0, xMax);
    plot->yAxis->setRange(0, yMax);
    return plot;
}

} // namespace

DataPanel::DataPanel(Program& program, RefreshClock& clock, QWidget* parent)
    : QWidget(parent), program(program) {
    setObjectName(QStringLiteral("DATAP"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    dispStatus = new QLabel(this);
    dispStatus->setObjectName(QStringLiteral("DispStatus"));
    dispStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    dispStatus->setMinimumHeight(24);
    dispStatus->setTextFormat(Qt::PlainText);
    dispStatus->setStyleSheet(QStringLiteral("background:#FFFFE0; font-weight:bold;"));
    dispStatus->installEventFilter(this);
    layout->addWidget(dispStatus);

    auto* linkRow = new QHBoxLayout;
    labelComPort = new QLabel(tr("COM-PORT:"), this);
    dispComPort = new QLabel(this);
    dispComPort->setObjectName(QStringLiteral("DispComPort"));
    labelServer = new QLabel(tr("SERVER:"), this);
    dispServer = new QLabel(this);
    dispServer->setObjectName(QStringLiteral("DispServer"));
    dispServer->setTextFormat(Qt::PlainText);
    linkRow->addWidget(labelComPort);
    linkRow->addWidget(dispComPort);
    linkRow->addWidget(labelServer);
    linkRow->addWidget(dispServer);
    linkRow->addStretch(1);
    layout->addLayout(linkRow);

    layout->addWidget(BuildValueBlock(clock));
    BuildPages(clock);
    layout->addWidget(tabDataP1, 1);

    buttonShowGraph = new QPushButton(tr("SHOW GRAPH"), this);
    buttonShowGraph->setObjectName(QStringLiteral("ButtonShowGraph"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(buttonShowGraph);
    layout->addLayout(bottom);
}

QWidget* DataPanel::BuildValueBlock(RefreshClock& clock) {
    auto* block = new QWidget(this);
    auto* grid = new QGridLayout(block);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);

    dispRed = new NumericDisplay(QStringLiteral("DispRED"), clock, block);
    dispGreen = new NumericDisplay(QStringLiteral("DispGREEN"), clock, block);
    dispBlue = new NumericDisplay(QStringLiteral("DispBLUE"), clock, block);
    dispRed->SetValueBackground(QColor(0xFF, 0xC0, 0xC0));
    dispGreen->SetValueBackground(QColor(0xC0, 0xFF, 0xC0));
    dispBlue->SetValueBackground(QColor(0xC0, 0xC0, 0xFF));
    AddValueRow(grid, 0,
                {{Caption(tr("RED"), block), dispRed},
                 {Caption(tr("GREEN"), block), dispGreen},
                 {Caption(tr("BLUE"), block), dispBlue}});

    dispX = new NumericDisplay(QStringLiteral("DispX"), clock, block);
    dispY = new NumericDisplay(QStringLiteral("DispY"), clock, block);
    dispInt = new NumericDisplay(QStringLiteral("DispINT"), clock, block);
    labelX = Caption(QStringLiteral("X"), block);
    labelY = Caption(QStringLiteral("Y"), block);
    labelInt = Caption(QStringLiteral("INT"), block);
    AddValueRow(grid, 1, {{labelX, dispX}, {labelY, dispY}, {labelInt, dispInt}});

    dispDeltaC = new NumericDisplay(QStringLiteral("DispDeltaC"), clock, block);
    dispCol = new NumericDisplay(QStringLiteral("DispCOL"), clock, block);
    dispGroup = new NumericDisplay(QStringLiteral("DispGroup"), clock, block);
    dispCol->installEventFilter(this);
    dispGroup->installEventFilter(this);
    labelDeltaC = Caption(tr("delta C"), block);
    labelCol = Caption(tr("C-No:"), block);
    labelGroup = Caption(tr("GROUP"), block);
    AddValueRow(grid, 2, {{labelDeltaC, dispDeltaC}, {labelCol, dispCol}, {labelGroup, dispGroup}});

    swatch = new ColourSwatch(QStringLiteral("DecoColour"), clock, block);
    grid->addWidget(swatch, 0, 6, 2, 2);

    auto* ledRow = new QHBoxLayout;
    ledRow->setSpacing(3);
    labelTrig = new QLabel(tr("LED TRIG"), block);
    ledTrig = new IndicatorLed(QStringLiteral("LedTrig"), QColor(0, 200, 0), clock, block);
    ledRow->addWidget(labelTrig);
    ledRow->addWidget(ledTrig);
    ledRow->addSpacing(8);
    for (int i = 0; i < 5; ++i) {
        labelOut[std::size_t(i)] = new QLabel(QStringLiteral("OUT%1").arg(i), block);
        ledOut[std::size_t(i)] =
            new IndicatorLed(QStringLiteral("LedOut%1").arg(i), QColor(255, 60, 0), clock, block);
        ledRow->addWidget(labelOut[std::size_t(i)]);
        ledRow->addWidget(ledOut[std::size_t(i)]);
    }
    ledRow->addStretch(1);
    grid->addLayout(ledRow, 3, 0, 1, 8);
    return block;
}

QWidget* DataPanel::BuildRgbRow(int pageIndex, RefreshClock& clock) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    static const char* kNames[3] = {"RED", "GREEN", "BLUE"};
    for (int c = 0; c < 3; ++c) {
        auto* display = new NumericDisplay(QStringLiteral("DispRGB"), clock, row);
        display->setProperty("channel", c);
        pageRgb[std::size_t(pageIndex)][std::size_t(c)] = display;
        layout->addWidget(new QLabel(QString::fromLatin1(kNames[c]), row));
        layout->addWidget(display);
    }
    layout->addStretch(1);
    return row;
}

void DataPanel::BuildPages(RefreshClock& clock) {
    tabDataP1 = new QTabWidget(this);
    tabDataP1->setObjectName(QStringLiteral("TabDataP1"));

    auto* rgbPage = new QWidget;
    auto* rgbLayout = new QVBoxLayout(rgbPage);
    graphRgb = MakePlot(QStringLiteral("GraphRGB"), rgbPage, 100, 4096);
    rgbLayout->addWidget(graphRgb, 1);
    rgbLayout->addWidget(BuildRgbRow(0, clock));
    auto* minMax = new QGridLayout;
    static const char* kMinMax[6] = {"RED MIN",   "RED MAX",  "GREEN MIN",
                                     "GREEN MAX", "BLUE MIN", "BLUE MAX"};
    for (int i = 0; i < 6; ++i) {
        dispMinMax[std::size_t(i)] = new NumericDisplay(QStringLiteral("DispMinMaxRGB"), clock);
        minMax->addWidget(Caption(QString::fromLatin1(kMinMax[i]), rgbPage), i % 2, (i / 2) * 2);
        minMax->addWidget(dispMinMax[std::size_t(i)], i % 2, (i / 2) * 2 + 1);
    }
    rgbLayout->addLayout(minMax);

    auto* intPage = new QWidget;
    auto* intLayout = new QVBoxLayout(intPage);
    graphInt1 = MakePlot(QStringLiteral("GraphINT1"), intPage, 100, 4096);
    intLayout->addWidget(graphInt1, 1);
    intLayout->addWidget(BuildRgbRow(1, clock));

    auto* page2D = new QWidget;
    auto* layout2D = new QVBoxLayout(page2D);
    graph2DXY = MakePlot(QStringLiteral("Graph2D"), page2D, 10000, 10000);
    graph2DInt = MakePlot(QStringLiteral("Graph2D"), page2D, 4096, 100);
    graph2DInt->setMaximumHeight(90);
    layout2D->addWidget(graph2DXY, 1);
    layout2D->addWidget(graph2DInt);
    layout2D->addWidget(BuildRgbRow(2, clock));

    auto* page3D = new QWidget;
    auto* grid3D = new QGridLayout(page3D);
    for (int i = 0; i < 3; ++i)
        graph3D[std::size_t(i)] = MakePlot(QStringLiteral("Graph3D"), page3D, 10000, 10000);
    graph3DRgb = MakePlot(QStringLiteral("Graph3D"), page3D, 100, 4096);
    grid3D->addWidget(graph3D[0], 0, 0);
    grid3D->addWidget(graph3D[1], 0, 1);
    grid3D->addWidget(graph3D[2], 1, 0);
    grid3D->addWidget(graph3DRgb, 1, 1);

    pages = {rgbPage, intPage, page2D, page3D};
    tabDataP1->addTab(rgbPage, QStringLiteral("RGB"));
    tabDataP1->addTab(intPage, QStringLiteral("INT"));
    tabDataP1->addTab(page2D, QStringLiteral("2D"));
    tabDataP1->addTab(page3D, QStringLiteral("3D"));
}

bool DataPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (watched == dispStatus && mouse->button() == Qt::RightButton) {
        program.ClearCommunicationLog();
        return true;
    }
    if (mouse->button() != Qt::LeftButton) return QWidget::eventFilter(watched, event);
    if (watched == dispCol) {
        program.ShowBigPanel(Program::BigPanel::ColourNumber);
        return true;
    }
    if (watched == dispGroup) {
        program.ShowBigPanel(Program::BigPanel::Group);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
