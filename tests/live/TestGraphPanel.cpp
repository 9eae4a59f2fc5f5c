// The signal trace's sample rules alone, and the graph panel in the whole program.
#include "app/ProgramFixture.h"
#include "core/HelpBook.h"
#include "live/GraphPanel.h"
#include "live/LiveModule.h"
#include "live/SignalTrace.h"
#include "support/RunTests.h"

#include <QtTest>

using namespace live;

namespace {

constexpr std::array kAllSignals = {TraceSignal::Red,        TraceSignal::Green, TraceSignal::Blue,
                                    TraceSignal::X,          TraceSignal::Y,     TraceSignal::Int,
                                    TraceSignal::Temperature};

// Every word different from every other, and from one sample to the next.
protocol::MeasurementFrame Sample(int n) {
    protocol::MeasurementFrame frame;
    for (int word = 0; word < protocol::MeasurementFrame::kWords; ++word)
        frame.w[std::size_t(word)] = std::uint16_t(100 * (n + 1) + word);
    return frame;
}

std::uint16_t ValueIn(const protocol::MeasurementFrame& frame, TraceSignal signal) {
    // Written out rather than taken from the model: red to INT are words 0 to 5, the
    // temperature is word 10.
    constexpr int kWord[7] = {0, 1, 2, 3, 4, 5, 10};
    return frame.w[std::size_t(kWord[int(signal)])];
}

} // namespace

Q_DECLARE_METATYPE(live::TraceSignal)

class TestSignalTrace : public QObject {
    Q_OBJECT

private slots:
    void firstSampleAfterAClearIsASinglePointAtXZero() {
        SignalTrace trace;
        trace.Clear(Sample(0));
        trace.Append(Sample(1));
        QCOMPARE(trace.SampleCounter(), std::uint16_t(1));
        for (const auto signal : kAllSignals) {
            const TracePoint point{0, ValueIn(Sample(1), signal)};
            QCOMPARE(trace.Previous(signal), point);
            QCOMPARE(trace.Current(signal), point);
        }
    }

    void eachFurtherSampleJoinsThePreviousPointToTheNext() {
        SignalTrace trace;
        trace.Clear(Sample(0));
        for (int n = 1; n <= 3; ++n) {
            trace.Append(Sample(n));
            if (n == 1) continue;
            QCOMPARE(trace.SampleCounter(), std::uint16_t(n));
            for (const auto signal : kAllSignals) {
                QCOMPARE(trace.Previous(signal),
                         (TracePoint{std::uint16_t(n - 2), ValueIn(Sample(n - 1), signal)}));
                QCOMPARE(trace.Current(signal),
                         (TracePoint{std::uint16_t(n - 1), ValueIn(Sample(n), signal)}));
            }
        }
    }

    void clearStartsOverWithTheFrameValues() {
        SignalTrace trace;
        for (int n = 0; n < 5; ++n)
            trace.Append(Sample(n));
        trace.Clear(Sample(7));
        QCOMPARE(trace.SampleCounter(), std::uint16_t(0));
        for (const auto signal : kAllSignals) {
            const TracePoint point{0, ValueIn(Sample(7), signal)};
            QCOMPARE(trace.Previous(signal), point);
            QCOMPARE(trace.Current(signal), point);
        }
    }

    void eachSignalComesFromItsOwnWord_data() {
        QTest::addColumn<TraceSignal>("signal");
        QTest::addColumn<int>("word");
        QTest::newRow("red") << TraceSignal::Red << 0;
        QTest::newRow("green") << TraceSignal::Green << 1;
        QTest::newRow("blue") << TraceSignal::Blue << 2;
        QTest::newRow("X") << TraceSignal::X << 3;
        QTest::newRow("Y") << TraceSignal::Y << 4;
        QTest::newRow("INT") << TraceSignal::Int << 5;
        QTest::newRow("temperature") << TraceSignal::Temperature << 10;
    }
    void eachSignalComesFromItsOwnWord() {
        QFETCH(TraceSignal, signal);
        QFETCH(int, word);
        protocol::MeasurementFrame only;
        only.w[std::size_t(word)] = 0xBEEF;
        SignalTrace trace;
        trace.Clear(only);
        QCOMPARE(trace.Current(signal).value, std::uint16_t(0xBEEF));
        trace.Append(protocol::MeasurementFrame{});
        trace.Append(only);
        for (const auto other : kAllSignals)
            QCOMPARE(trace.Current(other).value, std::uint16_t(other == signal ? 0xBEEF : 0));
    }

    void listValuesOutsideTheListShowRed() {
        const std::pair<int, TraceSignal> expected[] = {
            {-1, TraceSignal::Red},        {0, TraceSignal::Red}, {3, TraceSignal::X},
            {6, TraceSignal::Temperature}, {7, TraceSignal::Red}, {1000, TraceSignal::Red}};
        for (const auto& [value, signal] : expected)
            QCOMPARE(SignalOfListValue(value), signal);
    }

    // The counter is 16-bit: after 65536 samples it is back at 0 and the trace starts again
    // with a single point.
    void theSampleCounterWrapsAndStartsAgain() {
        SignalTrace trace;
        trace.Clear(Sample(0));
        for (int n = 0; n < 65536; ++n)
            trace.Append(Sample(n % 3));
        QCOMPARE(trace.SampleCounter(), std::uint16_t(0));
        QCOMPARE(trace.Current(TraceSignal::Red).x, std::uint16_t(65535));
        trace.Append(Sample(5));
        QCOMPARE(trace.SampleCounter(), std::uint16_t(1));
        const TracePoint point{0, ValueIn(Sample(5), TraceSignal::Blue)};
        QCOMPARE(trace.Current(TraceSignal::Blue), point);
        QCOMPARE(trace.Previous(TraceSignal::Blue), (TracePoint{65535, point.value}));
    }
};

class TestGraphPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

    GraphControls Graph() { return GraphControls(f->Window()); }
    GraphPanel& Panel() { return f->program->Live().Graphs(); }

    static QString ShownGraphs(const GraphControls& graph) {
        QString shown;
        for (int i = 0; i < 7; ++i) {
            if (graph.graphs[std::size_t(i)]->isVisibleTo(graph.panel)) shown += QString::number(i);
        }
        return shown;
    }

private slots:
    void init() { f = std::make_unique<ProgramFixture>(); }
    void cleanup() { f.reset(); }

    void showGraphShowsTheGraphPanelAndCloseTheDataPanel() {
        f->StartWithoutSensor();
        auto* showGraph = Need<QPushButton>(f->Window(), "ButtonShowGraph");
        QVERIFY(showGraph->isEnabled());
        QTest::mouseClick(showGraph, Qt::LeftButton);
        QVERIFY(Graph().panel->isVisible());
        QVERIFY(!f->Data().panel->isVisible());
        QTest::mouseClick(Graph().buttonGpClose, Qt::LeftButton);
        QVERIFY(f->Data().panel->isVisible());
        QVERIFY(!Graph().panel->isVisible());
    }

    void choosingASignalShowsExactlyItsGraph_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("shown");
        for (int item = 0; item < 7; ++item)
            QTest::newRow(qPrintable(QStringLiteral("item %1").arg(item)))
                << item << QString::number(item);
        QTest::newRow("no item: red") << -1 << QStringLiteral("0");
    }
    void choosingASignalShowsExactlyItsGraph() {
        QFETCH(int, item);
        QFETCH(QString, shown);
        auto graph = Graph();
        QCOMPARE(ShownGraphs(graph), QStringLiteral("0"));
        // Away from red first, so red has to come back for the rows that show it.
        f->Choose(graph.editSignal, 4);
        QCOMPARE(ShownGraphs(graph), QStringLiteral("4"));
        f->Choose(graph.editSignal, item);
        QCOMPARE(ShownGraphs(graph), shown);
    }

    void everySampleExtendsTheLineOfEveryGraph() {
        auto graph = Graph();
        f->Choose(graph.editSignal, 6);
        Panel().AppendSignalSample(Sample(9)); // drawn before the clear, so must go
        Panel().ClearSignalGraphs(Sample(0));
        constexpr int kSamples = 5;
        for (int n = 1; n <= kSamples; ++n)
            Panel().AppendSignalSample(Sample(n));

        const QRgb kColours[7] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000,
                                  0x00FF00, 0x008080, 0x008080};
        for (int s = 0; s < 7; ++s) {
            const auto signal = TraceSignal(s);
            QCustomPlot* plot = graph.graphs[std::size_t(s)];
            QCOMPARE(plot->graphCount(), 1);
            QCPGraph* line = plot->graph(0);
            QCOMPARE(line->pen().color().rgb() & 0xFFFFFF, kColours[s]);
            QCOMPARE(line->scatterStyle().shape(), QCPScatterStyle::ssNone);
            QCOMPARE(line->lineStyle(), QCPGraph::lsLine);
            const auto data = line->data();
            QCOMPARE(data->size(), kSamples);
            for (int n = 0; n < kSamples; ++n) {
                QCOMPARE(data->at(n)->key, double(n));
                QCOMPARE(data->at(n)->value, double(ValueIn(Sample(n + 1), signal)));
            }
            QCOMPARE(plot->xAxis->range().upper, double(kSamples - 1));
            QCOMPARE(graph.displays[std::size_t(s)]->Value(),
                     int(ValueIn(Sample(kSamples), signal)));
        }
        QCOMPARE(ShownGraphs(graph), QStringLiteral("6"));
        QCOMPARE(Panel().Trace().SampleCounter(), std::uint16_t(kSamples));
    }

    void coordinateNamesFollowTheColourSpace() {
        auto graph = Graph();
        const auto names = [&] {
            QStringList items;
            for (int i = 0; i < graph.editSignal->count(); ++i)
                items << graph.editSignal->itemText(i);
            return items.join(' ') + " / " + graph.labelX->text() + ' ' + graph.labelY->text() +
                   ' ' + graph.labelInt->text();
        };
        QCOMPARE(names(), QStringLiteral("RED GREEN BLUE X Y INT TEMP / X Y INT"));
        Panel().UpdateLiveLabels(true);
        QCOMPARE(names(), QStringLiteral("RED GREEN BLUE s i M TEMP / s i M"));
        Panel().UpdateLiveLabels(false);
        QCOMPARE(names(), QStringLiteral("RED GREEN BLUE X Y INT TEMP / X Y INT"));
    }

    void rightClickShowsHelpAndDoesNothingElse_data() {
        QTest::addColumn<QString>("role");
        QTest::newRow("CLOSE") << QStringLiteral("ButtonGpClose");
        QTest::newRow("signal list") << QStringLiteral("EditSignal");
        QTest::newRow("signal graph") << QStringLiteral("PanelGraphGraph");
    }
    void rightClickShowsHelpAndDoesNothingElse() {
        QFETCH(QString, role);
        f->StartWithoutSensor();
        f->program->ShowChildPanel(ChildPanel::Graph);
        auto graph = Graph();
        const auto* entry = f->program->Help().Find("CBF_" + role.toStdString());
        QVERIFY(entry);
        const int before = f->dialogs.CountOf("message");
        QTest::mouseClick(Need(*graph.panel, qPrintable(role)), Qt::RightButton);
        QCOMPARE(f->dialogs.CountOf("message"), before + 1);
        QVERIFY(f->dialogs.Saw(entry->title, entry->text));
        QVERIFY(graph.panel->isVisible());
        QCOMPARE(ShownGraphs(graph), QStringLiteral("0"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return RunTests<TestSignalTrace, TestGraphPanel>(argc, argv);
}

#include "TestGraphPanel.moc"
