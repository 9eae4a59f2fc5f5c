#include "live/DataPanel.h"

#include "controls/ScreenFit.h"
#include "core/Shell.h"
#include "core/Text.h"
#include "live/BigNumberPanel.h"
#include "live/ChartPages.h"
#include "live/LiveValues.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <qcustomplot.h>

namespace live {

namespace {

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// Puts captions and displays side by side in one row of the value block.
void AddValueRow(QGridLayout* grid, int row,
                 std::initializer_list<std::pair<QLabel*, QWidget*>> cells) {
    int column = 0;
    for (const auto& [caption, display] : cells) {
        caption->setBuddy(display); // a right click on the caption shows the display's help
        grid->addWidget(caption, row, column++);
        grid->addWidget(display, row, column++);
    }
}

} // namespace

DataPanel::DataPanel(core::Shell& shell, RefreshClock& clock, BigNumberPanel& bigColourNumber,
                     BigNumberPanel& bigGroup, QWidget* parent)
    : QWidget(parent), shell(shell), bigColourNumber(bigColourNumber), bigGroup(bigGroup),
      clock(clock) {
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
    liveDisplays = {dispRed, dispGreen,  dispBlue, dispX,     dispY,
                    dispInt, dispDeltaC, dispCol,  dispGroup, dispTemp};
    for (const auto& row : pageRgb)
        liveDisplays.insert(liveDisplays.end(), row.begin(), row.end());
    liveDisplays.insert(liveDisplays.end(), dispMinMax.begin(), dispMinMax.end());

    buttonShowGraph = new QPushButton(tr("SHOW GRAPH"), this);
    buttonShowGraph->setObjectName(QStringLiteral("ButtonShowGraph"));
    // Dimmed until a graph panel is there to show.
    buttonShowGraph->setEnabled(false);
    connect(buttonShowGraph, &QPushButton::clicked, this, &DataPanel::CBF_ButtonShowGraph);
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
    labelX->setObjectName(QStringLiteral("LabelX"));
    labelY->setObjectName(QStringLiteral("LabelY"));
    labelInt->setObjectName(QStringLiteral("LabelINT"));
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

    dispTemp = new NumericDisplay(QStringLiteral("DispTemp"), clock, block);
    QLabel* tempCaption = Caption(tr("TEMP"), block);
    tempCaption->setBuddy(dispTemp);
    grid->addWidget(tempCaption, 2, 6);
    grid->addWidget(dispTemp, 2, 7);

    swatch = new ColourSwatch(QStringLiteral("DecoColour"), clock, block);
    swatch->setAccessibleName(tr("colour swatch"));
    grid->addWidget(swatch, 0, 6, 2, 2);

    auto* ledRow = new QHBoxLayout;
    ledRow->setSpacing(3);
    labelTrig = new QLabel(tr("LED TRIG"), block);
    ledTrig = new IndicatorLed(QStringLiteral("LedTrig"), QColor(0, 200, 0), clock, block);
    labelTrig->setBuddy(ledTrig);
    ledRow->addWidget(labelTrig);
    ledRow->addWidget(ledTrig);
    ledRow->addSpacing(8);
    for (int i = 0; i < 5; ++i) {
        labelOut[std::size_t(i)] = new QLabel(QStringLiteral("OUT%1").arg(i), block);
        ledOut[std::size_t(i)] =
            new IndicatorLed(QStringLiteral("LedOut%1").arg(i), QColor(255, 60, 0), clock, block);
        labelOut[std::size_t(i)]->setBuddy(ledOut[std::size_t(i)]);
        ledRow->addWidget(labelOut[std::size_t(i)]);
        ledRow->addWidget(ledOut[std::size_t(i)]);
    }
    ledRow->addStretch(1);
    grid->addLayout(ledRow, 3, 0, 1, 8);
    return block;
}

QWidget* DataPanel::BuildRgbRow(RefreshClock& clock, QWidget* parent) {
    auto* row = new QWidget(parent);
    std::array<NumericDisplay*, 3>& displays = pageRgb.emplace_back();
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    static const char* kNames[3] = {"RED", "GREEN", "BLUE"};
    for (int c = 0; c < 3; ++c) {
        auto* display = new NumericDisplay(QStringLiteral("DispRGB"), clock, row);
        display->setProperty("channel", c);
        displays[std::size_t(c)] = display;
        auto* caption = new QLabel(QString::fromLatin1(kNames[c]), row);
        caption->setBuddy(display);
        layout->addWidget(caption);
        layout->addWidget(display);
    }
    layout->addStretch(1);
    return row;
}

QWidget* DataPanel::MakeLiveRgbRow(QWidget* parent) {
    QWidget* row = BuildRgbRow(clock, parent);
    liveDisplays.insert(liveDisplays.end(), pageRgb.back().begin(), pageRgb.back().end());
    for (NumericDisplay* display : pageRgb.back())
        display->SetStale(stale);
    return row;
}

void DataPanel::BuildPages(RefreshClock& clock) {
    charts = new ChartPages(clock, this);
    tabDataP1 = new QTabWidget(this);
    tabDataP1->setObjectName(QStringLiteral("TabDataP1"));

    auto* rgbPage = new QWidget;
    auto* rgbLayout = new QVBoxLayout(rgbPage);
    rgbLayout->addWidget(charts->MakeRgbChart(rgbPage, QStringLiteral("GraphRGB")), 1);
    rgbLayout->addWidget(BuildRgbRow(clock));
    auto* minMax = new QGridLayout;
    static const char* kMinMax[6] = {"RED MIN",   "RED MAX",  "GREEN MIN",
                                     "GREEN MAX", "BLUE MIN", "BLUE MAX"};
    for (int i = 0; i < 6; ++i) {
        dispMinMax[std::size_t(i)] = new NumericDisplay(QStringLiteral("DispMinMaxRGB"), clock);
        QLabel* caption = Caption(QString::fromLatin1(kMinMax[i]), rgbPage);
        caption->setBuddy(dispMinMax[std::size_t(i)]);
        minMax->addWidget(caption, i % 2, (i / 2) * 2);
        minMax->addWidget(dispMinMax[std::size_t(i)], i % 2, (i / 2) * 2 + 1);
    }
    rgbLayout->addLayout(minMax);

    auto* intPage = new QWidget;
    auto* intLayout = new QVBoxLayout(intPage);
    intLayout->addWidget(charts->MakeIntensityChart(intPage), 1);
    intLayout->addWidget(BuildRgbRow(clock));

    auto* page2D = new QWidget;
    auto* layout2D = new QVBoxLayout(page2D);
    // The plane keeps its units square, so its height is its size: the rest stays slim.
    layout2D->setContentsMargins(2, 2, 2, 2);
    layout2D->setSpacing(2);
    layout2D->addWidget(charts->MakePlane2D(page2D), 1);
    QCustomPlot* band = charts->MakeIntensityBand2D(page2D);
    band->setMaximumHeight(56);
    layout2D->addWidget(band);
    layout2D->addWidget(BuildRgbRow(clock));

    auto* page3D = new QWidget;
    auto* grid3D = new QGridLayout(page3D);
    grid3D->setContentsMargins(2, 2, 2, 2);
    grid3D->setSpacing(2);
    const auto planes = charts->MakePlanes3D(page3D);
    grid3D->addWidget(planes[0], 0, 0);
    grid3D->addWidget(planes[1], 0, 1);
    grid3D->addWidget(planes[2], 1, 0);
    grid3D->addWidget(charts->MakeRgbChart(page3D, QStringLiteral("Graph3D")), 1, 1);

    tabDataP1->addTab(rgbPage, QStringLiteral("RGB"));
    tabDataP1->addTab(intPage, QStringLiteral("INT"));
    tabDataP1->addTab(page2D, QStringLiteral("2D"));
    tabDataP1->addTab(page3D, QStringLiteral("3D"));
    // A page brought to the front shows what its charts missed while hidden.
    connect(tabDataP1, &QTabWidget::currentChanged, this,
            [this] { QTimer::singleShot(0, charts, [this] { charts->Refresh(); }); });
}

void DataPanel::SetStatusLine(const std::string& text) {
    dispStatus->setText(core::TextOfBytes(text));
}

void DataPanel::ShowLinkInUse(bool serial, int portNumber, const QString& server) {
    dispComPort->setText(QString::number(portNumber));
    dispServer->setText(server);
    dispComPort->setVisible(serial);
    labelComPort->setVisible(serial);
    dispServer->setVisible(!serial);
    labelServer->setVisible(!serial);
}

void DataPanel::SetStale(bool newStale) {
    if (newStale == stale) return;
    stale = newStale;
    for (NumericDisplay* display : liveDisplays)
        display->SetStale(stale);
    swatch->SetStale(stale);
    bigColourNumber.SetStale(stale);
    bigGroup.SetStale(stale);
}

void DataPanel::ShowFrame(const protocol::MeasurementFrame& frame, std::uint32_t liveColour,
                          bool showOutputs) {
    // A frame measured before a failure (the one the loop shows as it ends) stays grey: only the
    // sensor's next answer ungreys the values (SetStale).
    const auto& w = frame.w;
    using F = protocol::MeasurementFrame;
    for (auto& row : pageRgb) {
        for (int c = 0; c < 3; ++c)
            row[std::size_t(c)]->SetValue(w[std::size_t(F::kRed + c)]);
    }
    dispRed->SetValue(w[F::kRed]);
    dispGreen->SetValue(w[F::kGreen]);
    dispBlue->SetValue(w[F::kBlue]);
    dispX->SetValue(w[F::kX]);
    dispY->SetValue(w[F::kY]);
    dispInt->SetValue(w[F::kInt]);
    dispDeltaC->SetValue(frame.DeltaC());
    dispCol->SetValue(w[F::kColourNumber]);
    dispGroup->SetValue(w[F::kGroup]);
    ledTrig->SetOn(w[F::kTrigger] == 1);
    for (int i = 0; i < 6; ++i)
        dispMinMax[std::size_t(i)]->SetValue(w[std::size_t(F::kMinMaxFirst + i)]);
    dispTemp->SetValue(w[F::kTemperature]);
    bigColourNumber.SetValue(w[F::kColourNumber]);
    bigGroup.SetValue(w[F::kGroup]);
    swatch->SetColour(liveColour);
    if (!showOutputs) return;
    const auto outputs = OutputIndicators(w[F::kColourNumber]);
    for (int i = 0; i < 5; ++i)
        ledOut[std::size_t(i)]->SetOn(outputs[std::size_t(i)]);
}

void DataPanel::ShowDisplays(const DataPanelDisplays& shown) {
    for (QWidget* w : {static_cast<QWidget*>(dispDeltaC), static_cast<QWidget*>(labelDeltaC),
                       static_cast<QWidget*>(dispCol), static_cast<QWidget*>(labelCol)})
        w->setVisible(shown.deltaCAndColourNumber);
    for (std::size_t i = 0; i < ledOut.size(); ++i) {
        ledOut[i]->setVisible(shown.outputIndicators[i]);
        labelOut[i]->setVisible(shown.outputIndicators[i]);
    }
    dispGroup->setVisible(shown.groupDisplay);
    labelGroup->setVisible(shown.groupDisplay);
    ledTrig->setVisible(shown.triggerIndicator);
    labelTrig->setVisible(shown.triggerIndicator);
    for (QWidget* w : {static_cast<QWidget*>(dispX), static_cast<QWidget*>(dispY),
                       static_cast<QWidget*>(dispInt), static_cast<QWidget*>(labelX),
                       static_cast<QWidget*>(labelY), static_cast<QWidget*>(labelInt)})
        w->setVisible(shown.colourCoordinates);
}

void DataPanel::ShowCoordinateLabels(bool si) {
    labelX->setText(si ? QStringLiteral("s") : QStringLiteral("X"));
    labelY->setText(si ? QStringLiteral("i") : QStringLiteral("Y"));
    labelInt->setText(si ? QStringLiteral("M") : QStringLiteral("INT"));
    // Label and value backgrounds tell the two colour spaces apart at a glance.
    const auto labelStyle = [](const char* colour) {
        return QStringLiteral("background:%1; padding:0 3px;").arg(QLatin1String(colour));
    };
    labelX->setStyleSheet(labelStyle(si ? "#00FF00" : "#E0E0E0"));
    labelY->setStyleSheet(labelStyle(si ? "#80FFFF" : "#E0E0E0"));
    dispX->SetValueBackground(QColor(0xFF, 0x00, 0x00));
    dispY->SetValueBackground(si ? QColor(0xFF, 0xFF, 0x00) : QColor(0x00, 0xFF, 0x00));
}

void DataPanel::ShowPages(const DataPages& shown) {
    for (int i = 0; i < int(shown.visible.size()); ++i) {
        if (shown.visible[std::size_t(i)]) tabDataP1->setTabVisible(i, true);
    }
    tabDataP1->setCurrentIndex(shown.activePage);
    for (int i = 0; i < int(shown.visible.size()); ++i) {
        if (!shown.visible[std::size_t(i)]) tabDataP1->setTabVisible(i, false);
    }
}

int DataPanel::ActivePage() const {
    return tabDataP1->currentIndex();
}

void DataPanel::SetActivePage(int page) {
    tabDataP1->setCurrentIndex(page);
}

void DataPanel::SetSwatchVisible(bool visible) {
    swatch->setVisible(visible);
}

void DataPanel::HideBigPanels(bool group, bool colourNumber) {
    if (group) bigGroup.hide();
    if (colourNumber) bigColourNumber.hide();
}

void DataPanel::EnableShowGraph(bool enabled) {
    buttonShowGraph->setEnabled(enabled);
}

void DataPanel::CBF_ButtonShowGraph() {
    emit ShowGraphRequested();
}

void DataPanel::ShowBigPanel(BigNumberPanel& panel) {
    // The first time beside the main window, where it covers nothing, on the main window's
    // screen; over the main window's edge when that screen has no room beside it. Later where
    // the operator left it, as long as that is still on a screen.
    const QSize outer = panel.size() + core::FrameAllowance(*window());
    if (!panel.property("placed").toBool()) {
        const int down = &panel == &bigGroup ? outer.height() + 8 : 0;
        const QRect at = core::BesideOnSameScreen(window()->frameGeometry(), outer, 8, down);
        panel.move(at.topLeft());
        panel.setProperty("placed", true);
    } else {
        const QRect at(panel.frameGeometry().topLeft(), outer);
        panel.move(core::FitInside(at, core::AvailableAreaAt(at.center())).topLeft());
    }
    panel.show();
    panel.raise();
}

bool DataPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (watched == dispStatus && mouse->button() == Qt::RightButton) {
        shell.ClearLog();
        return true;
    }
    if (mouse->button() != Qt::LeftButton) return QWidget::eventFilter(watched, event);
    if (watched == dispCol) {
        ShowBigPanel(bigColourNumber);
        return true;
    }
    if (watched == dispGroup) {
        ShowBigPanel(bigGroup);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace live
