// The recorder page in the whole program against the simulator: choosing the file, recording a
// number of values, continuous and manual recording, and what a failing link or an unwritable
// file does to a recording.
#include "app/ProgramFixture.h"
#include "recorder/RecorderModule.h"
#include "support/ReplyLimits.h"
#include "support/WhenReady.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

#include <sys/stat.h>

namespace {

constexpr const char* kSaved = "File has been saved!";
constexpr const char* kOneFrameNotRecorded =
    "1 frames from the sensor failed or held no measurement and were not recorded!";

std::string Slurp(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

int Rows(const std::string& file) {
    // Rows start with a date; the header lines do not.
    int rows = 0;
    for (std::size_t at = file.find("\r\n"); at != std::string::npos;
         at = file.find("\r\n", at + 2))
        rows += (at + 4 < file.size() && std::isdigit(static_cast<unsigned char>(file[at + 2])));
    return rows;
}

} // namespace

class TestRecorder : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    QString path;

    QWidget* Page() { return Need(f->Window(), "RecorderPage"); }
    QString Shown(const char* role) { return Need<QLabel>(*Page(), role)->text(); }
    void ChooseMode(int mode) {
        ProgramFixture::Choose(Need<QComboBox>(*Page(), "EditSelectDataRec"), mode);
    }
    void Click(const char* role) {
        QTest::mouseClick(Need<QPushButton>(*Page(), role), Qt::LeftButton);
    }
    void SelectNewFile(const QString& file) {
        f->dialogs.fileAnswers = {{core::OperatorDialogs::FileChoice::New, file.toStdString()}};
        Click("ButtonSelRecFile");
    }
    void SetTiming(double interval, int count) {
        Need<QDoubleSpinBox>(*Page(), "EditInterval")->setValue(interval);
        Need<QSpinBox>(*Page(), "EditRecVal")->setValue(count);
    }

    // Once `ready` holds during the recording, `action`; STOP RECORD if it never does.
    void WhenRecording(std::function<bool()> ready, std::function<void()> action) {
        support::WhenReady(&f->Window(), std::move(ready), std::move(action),
                           [this] { Click("ButtonStopRecord"); });
    }
    bool Counted(int frames) { return Shown("DispFrameCounter").toInt() >= frames; }
    void StopOnceCounted(int frames) {
        WhenRecording([=, this] { return Counted(frames); }, [this] { Click("ButtonStopRecord"); });
    }

    // One trigger, then two; then STOP: the sensor is told to stop sending.
    void RecordThreeTriggers() {
        SelectNewFile(path);
        ChooseMode(3);
        QVERIFY(Need(*Page(), "ButtonStartTrigRec")->isVisible());
        f->simulator.SetTriggerPeriodMs(0);
        f->dialogs.confirmAnswers = {true};
        WhenRecording([this] { return f->simulator.TriggerSending(); },
                      [this] {
                          f->simulator.FireTrigger();
                          WhenRecording([this] { return Counted(1); },
                                        [this] {
                                            f->simulator.FireTrigger();
                                            f->simulator.FireTrigger();
                                            StopOnceCounted(3);
                                        });
                      });
        Click("ButtonStartTrigRec");
        QVERIFY(!f->simulator.TriggerSending());
        QCOMPARE(Rows(Slurp(path)), 3);
        QCOMPARE(Shown("DispFrameCounter"), QStringLiteral("3"));
        QCOMPARE(f->RequestsOfOrder(30), 2);
        QCOMPARE(f->dialogs.popups.back().text, std::string(kSaved));
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
        // The link is in step afterwards.
        f->RunGo(3, [this] { f->Stop(); });
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
    }

private slots:
    void init() {
        f = std::make_unique<ProgramFixture>();
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        f->program->ShowPage(core::MainPage::Recorder);
        f->program->Recorder().SetClock([] { return recorder::ClockTime{2024, 3, 2, 12, 0, 5}; });
        path = f->programDir.filePath(QStringLiteral("rec.dat"));
        f->dialogs.popups.clear();
    }
    void cleanup() { f.reset(); }

    void aRecordingOfThreeValuesWritesThreeRowsAndSaysSaved() {
        auto id = f->Comm().editId;
        id->setText(QStringLiteral("LINE 4"));
        emit id->editingFinished();
        SelectNewFile(path);
        QCOMPARE(Need<QLineEdit>(*Page(), "DispRecFile")->text(), path);
        QCOMPARE(Slurp(path).substr(0, 61),
                 std::string("\nRECORD RESULTS OF: CHROMIX3-Varev V4.2\r\n"
                             "PANEL ID: LINE 4\r\n\r\n"));
        ChooseMode(0);
        SetTiming(0.25, 3);
        QCOMPARE(Shown("DispRemaining"), QStringLiteral("3"));
        f->dialogs.confirmAnswers = {true};
        f->simulator.ClearRequestLog();
        Click("ButtonStartRecord");
        QCOMPARE(f->RequestsOfOrder(8), 3);
        const std::string file = Slurp(path);
        QCOMPARE(Rows(file), 3);
        QVERIFY(file.find("\r\n03-02-2024\t12:00:05\t") != std::string::npos);
        QCOMPARE(Shown("DispRecordedValues"), QStringLiteral("3"));
        QCOMPARE(Shown("DispRemaining"), QStringLiteral("0"));
        QCOMPARE(f->dialogs.popups.back().text, std::string(kSaved));
        QVERIFY(f->dialogs.Saw("ATTENTION!",
                               "Are you sure, that you have selected the right file name?"));
        QVERIFY(!f->program->Gate().LoopRunning());
        QVERIFY(Need<QPushButton>(*Page(), "ButtonStartRecord")->isEnabled());
        QVERIFY(Need<QPushButton>(*Page(), "ButtonStartRecord")->styleSheet().contains("#E0E0E0"));
    }

    // Its pace is bench_recorder's to measure.
    void continuousRecordingRunsUntilStop() {
        SelectNewFile(path);
        ChooseMode(1);
        SetTiming(0.25, 1);
        QVERIFY(Need(*Page(), "DispFrameCounter")->isVisible());
        QVERIFY(!Need(*Page(), "EditRecVal")->isVisible());
        f->dialogs.confirmAnswers = {true};
        bool dimmed = false;
        WhenRecording([this] { return Counted(3); },
                      [&] {
                          dimmed = !Need<QComboBox>(*Page(), "EditSelectDataRec")->isEnabled() &&
                                   Need<QPushButton>(*Page(), "ButtonStopRecord")->isEnabled();
                          Click("ButtonStopRecord");
                      });
        Click("ButtonStartRecord");
        QVERIFY(dimmed);
        const int rows = Rows(Slurp(path));
        QVERIFY2(rows >= 3, qPrintable(QString::number(rows)));
        QCOMPARE(Shown("DispFrameCounter"), QString::number(rows));
    }

    void aFailedExchangeEndsTheRecordingWithoutARow() {
        SelectNewFile(path);
        ChooseMode(0);
        SetTiming(0.25, 5);
        sim::FaultSettings faults;
        faults.badDataCheck.on = true;
        f->simulator.SetFaults(faults);
        f->dialogs.confirmAnswers = {true};
        Click("ButtonStartRecord");
        QCOMPARE(Rows(Slurp(path)), 0);
        // Nothing was recorded, and the display does not claim otherwise.
        QCOMPARE(Shown("DispRecordedValues"), QStringLiteral("0"));
        QVERIFY(!f->program->Gate().LoopRunning());
        QVERIFY(f->Log().contains(QStringLiteral("RECEIVED DATA FRAME IS INCORRECT!")));
    }

    void declininganExistingFileKeepsTheOldPathAndConfirmingStartsItAnew() {
        SelectNewFile(path);
        const QString other = f->programDir.filePath(QStringLiteral("other.dat"));
        QFile file(other);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        f->dialogs.fileAnswers = {
            {core::OperatorDialogs::FileChoice::Existing, other.toStdString()}};
        f->dialogs.confirmAnswers = {false};
        Click("ButtonSelRecFile");
        QVERIFY(f->dialogs.Saw("ATTENTION!",
                               "File already exist! \nDo you want to select existing file?"));
        QCOMPARE(Need<QLineEdit>(*Page(), "DispRecFile")->text(), path);
        QCOMPARE(f->state->settings.recordFilePath, path.toStdString());
        QCOMPARE(Slurp(other), std::string("keep me"));

        f->dialogs.fileAnswers = {
            {core::OperatorDialogs::FileChoice::Existing, other.toStdString()}};
        f->dialogs.confirmAnswers = {true};
        Click("ButtonSelRecFile");
        QCOMPARE(Need<QLineEdit>(*Page(), "DispRecFile")->text(), other);
        QCOMPARE(Slurp(other).substr(0, 20), std::string("\nRECORD RESULTS OF: "));

        // Cancelled: said so, nothing changes.
        Click("ButtonSelRecFile");
        QVERIFY(f->dialogs.Saw("ATTENTION!",
                               "No filename was selected! \nRecording will not be done! "));
        QCOMPARE(Need<QLineEdit>(*Page(), "DispRecFile")->text(), other);
    }

    void rowsThatCannotBeWrittenAreCountedLoggedAndNotCalledSaved() {
        SelectNewFile(path);
        // The file turns into a directory: every row fails.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        ChooseMode(0);
        SetTiming(0.25, 2);
        f->dialogs.confirmAnswers = {true};
        Click("ButtonStartRecord");
        QCOMPARE(Shown("DispNotWritten"), QStringLiteral("2"));
        QVERIFY(Need(*Page(), "DispNotWritten")->isVisible());
        QCOMPARE(Shown("DispRecordedValues"), QStringLiteral("2")); // the recording went on
        QVERIFY(!f->dialogs.Saw("INFO!", kSaved));
        QCOMPARE(f->Log().count(QStringLiteral("RECORD FILE: A ROW COULD NOT BE WRITTEN")), 1);
        QVERIFY(f->dialogs.popups.back().text.find("2 rows could not be written") == 0);
    }

    // An error reply, or a measurement frame with fewer data bytes than a measurement, is no
    // measurement: it ends the recording as a failure does, writes no row, and the end says so
    // instead of "File has been saved!".
    void aFrameThatHoldsNoMeasurementIsNoRow_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("dataBytes"); // -1: an error reply
        QTest::addColumn<QString>("told");
        const QString shortText = "ITS %1 DATA BYTES ARE NOT THE 40 ORDER 8 ASKS FOR.";
        for (int mode : {0, 3}) {
            const char* name = mode == 0 ? "a number of values" : "triggered by the sensor";
            QTest::addRow("%s, error reply", name)
                << mode << -1 << "COMMUNICATION ERROR ON CONTROL UNIT!";
            for (int bytes : {0, 2, 20})
                QTest::addRow("%s, %d data bytes", name, bytes)
                    << mode << bytes << shortText.arg(bytes);
        }
    }
    void aFrameThatHoldsNoMeasurementIsNoRow() {
        QFETCH(int, mode);
        QFETCH(int, dataBytes);
        QFETCH(QString, told);
        SelectNewFile(path);
        ChooseMode(mode);
        SetTiming(0.25, 5);
        f->simulator.SetTriggerPeriodMs(0);
        sim::FaultSettings faults;
        if (dataBytes < 0)
            faults.errorReply = sim::Fault{true, 2, 8};
        else
            faults.dataBytes = sim::Fault{true, dataBytes, 8};
        f->simulator.SetFaults(faults);
        f->dialogs.confirmAnswers = {true};
        // A frame taken as a row would leave the recording running: it is stopped then.
        if (mode == 3)
            WhenRecording([this] { return f->simulator.TriggerSending(); },
                          [this] {
                              f->simulator.FireTrigger();
                              StopOnceCounted(1);
                          });
        Click(mode == 3 ? "ButtonStartTrigRec" : "ButtonStartRecord");
        QCOMPARE(Rows(Slurp(path)), 0);
        QVERIFY2(f->Log().contains(told), qPrintable(f->Log()));
        QCOMPARE(f->dialogs.popups.back().title, std::string("ATTENTION!"));
        QCOMPARE(f->dialogs.popups.back().text,
                 std::string(kOneFrameNotRecorded) + "\n0 rows recorded, ended by a failure!");
        QVERIFY(!f->program->Gate().Busy());
    }

    // A recording a fault ended is told as such with the rows it recorded, never as saved.
    void aRecordingEndedByAFaultIsNotCalledSaved_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("rows");
        QTest::newRow("triggered, its stop unanswered") << 3 << "stop" << 1;
        QTest::newRow("a number of values, the link closed after a row") << 0 << "close" << 1;
        QTest::newRow("triggered, its start refused") << 3 << "start" << 0;
    }
    void aRecordingEndedByAFaultIsNotCalledSaved() {
        QFETCH(int, mode);
        QFETCH(QString, fault);
        QFETCH(int, rows);
        SelectNewFile(path);
        ChooseMode(mode);
        SetTiming(0.25, 5);
        f->simulator.SetTriggerPeriodMs(0);
        sim::FaultSettings faults;
        if (fault == "close") faults.closeAfterReplies = sim::Fault{true, 1, 8};
        if (fault == "start") faults.errorReply = sim::Fault{true, 2, 30};
        f->simulator.SetFaults(faults);
        f->dialogs.confirmAnswers = {true};
        // One row, then STOP with the sensor silent to order 30: its one exchange times out.
        if (fault == "stop")
            WhenRecording([this] { return f->simulator.TriggerSending(); },
                          [this] {
                              f->simulator.FireTrigger();
                              WhenRecording([this] { return Counted(1); },
                                            [this] {
                                                sim::FaultSettings silent;
                                                silent.silence = sim::Fault{true, 0, 30};
                                                f->simulator.SetFaults(silent);
                                                support::ShortReplyLimit(f->program->Link());
                                                Click("ButtonStopRecord");
                                            });
                          });
        Click(mode == 3 ? "ButtonStartTrigRec" : "ButtonStartRecord");
        QCOMPARE(Rows(Slurp(path)), rows);
        QCOMPARE(f->dialogs.popups.back().title, std::string("ATTENTION!"));
        // The closed link may also fail the next exchange, which counts as a frame not recorded.
        const std::string told = std::to_string(rows) + " rows recorded, ended by a failure!";
        QVERIFY2(f->dialogs.popups.back().text.ends_with(told),
                 f->dialogs.popups.back().text.c_str());
        QVERIFY(!f->dialogs.Saw("INFO!", kSaved));
        QVERIFY(!f->program->Gate().Busy());
    }

    // Neither the file dialog nor a name typed into it makes a fifo, a directory or a device the
    // record file: refused at once, without opening it, and the previous file stays.
    void aRecordFileThatIsNoRegularFileIsRefused_data() {
        QTest::addColumn<QString>("name"); // in the program's folder, or absolute
        QTest::addColumn<bool>("picked");  // picked as existing rather than typed as new
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo, typed") << "fifo" << false << "a fifo";
        QTest::newRow("fifo, picked") << "fifo" << true << "a fifo";
        QTest::newRow("directory") << "folder" << false << "a directory";
        QTest::newRow("device") << "/dev/null" << true << "a character device";
    }
    void aRecordFileThatIsNoRegularFileIsRefused() {
        QFETCH(QString, name);
        QFETCH(bool, picked);
        QFETCH(QString, kind);
        SelectNewFile(path);
        const QString chosen = name.startsWith('/') ? name : f->programDir.filePath(name);
        if (name == "fifo") QCOMPARE(::mkfifo(chosen.toLocal8Bit().constData(), 0600), 0);
        if (name == "folder") QVERIFY(QDir().mkdir(chosen));
        using Choice = core::OperatorDialogs::FileChoice;
        f->dialogs.fileAnswers = {{picked ? Choice::Existing : Choice::New, chosen.toStdString()}};
        f->dialogs.confirmAnswers = {true};
        Click("ButtonSelRecFile");
        QCOMPARE(f->dialogs.popups.back().title, std::string("ATTENTION!"));
        QCOMPARE(QString::fromStdString(f->dialogs.popups.back().text),
                 chosen + " is " + kind + ", not a regular file: left untouched.\n" +
                     "The record file stays " + path);
        QCOMPARE(Need<QLineEdit>(*Page(), "DispRecFile")->text(), path);
        QCOMPARE(f->state->settings.recordFilePath, path.toStdString());
    }

    // A frame pushed under another reply code is no row. An error reply ends the recording as a
    // failure does; a frame of another order is passed over and the recording goes on (the
    // measurement pushed after it is a row), and one still on its way at STOP is passed over
    // by the end. The end counts the frame the recording saw.
    void triggeredFramesOfAnotherCodeAreNoRows_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("ends");
        QTest::newRow("error reply") << 0 << true;
        QTest::newRow("identification") << 7 << false;
        QTest::newRow("trigger sending, with data") << 30 << false;
        QTest::newRow("scan block") << 110 << false;
        QTest::newRow("no order") << 255 << false;
    }
    void triggeredFramesOfAnotherCodeAreNoRows() {
        QFETCH(int, code);
        QFETCH(bool, ends);
        SelectNewFile(path);
        ChooseMode(3);
        f->simulator.SetTriggerPeriodMs(0);
        f->dialogs.confirmAnswers = {true};
        // Each trigger's frame is on the line when FireTrigger returns: they come in this order.
        const auto push = [this](int frameCode) {
            f->simulator.SetTriggerFrameCode(frameCode);
            f->simulator.FireTrigger();
        };
        WhenRecording([this] { return f->simulator.TriggerSending(); },
                      [this, push, code] {
                          push(code);
                          push(8);
                          WhenRecording([this] { return Counted(1); },
                                        [this, push, code] {
                                            push(code);
                                            Click("ButtonStopRecord");
                                        });
                      });
        Click("ButtonStartTrigRec");
        QCOMPARE(Rows(Slurp(path)), ends ? 0 : 1);
        QCOMPARE(f->Log().contains(QStringLiteral("ERROR REPLY WITH UNKNOWN STATUS 0")), ends);
        QCOMPARE(f->dialogs.popups.back().text,
                 std::string(kOneFrameNotRecorded) +
                     (ends ? "\n0 rows recorded, ended by a failure!" : ""));
        QVERIFY(!f->simulator.TriggerSending());
        QCOMPARE(f->RequestsOfOrder(30), 2);
        QVERIFY(!f->program->Gate().Busy());
        if (ends) return;
        QVERIFY2(!f->Log().contains(QStringLiteral("INCORRECT")), qPrintable(f->Log()));
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
        f->RunGo(3, [this] { f->Stop(); });
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
    }

    void triggeredRecordingOverTcp() { RecordThreeTriggers(); }

    void triggeredRecordingOverAPty() {
        QVERIFY(f->ConnectPtyThroughPage());
        f->program->ShowPage(core::MainPage::Recorder);
        RecordThreeTriggers();
    }

    void stoppingWhileTheSensorKeepsSendingLeavesTheLinkInStep() {
        SelectNewFile(path);
        ChooseMode(3);
        f->simulator.SetTriggerPeriodMs(20);
        f->dialogs.confirmAnswers = {true};
        StopOnceCounted(10);
        Click("ButtonStartTrigRec");
        QVERIFY(Rows(Slurp(path)) >= 10);
        QVERIFY(!f->simulator.TriggerSending());
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
        f->RunGo(3, [this] { f->Stop(); });
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
        QVERIFY(!f->Log().contains(QStringLiteral("INCORRECT")));
    }

    void manualRecordingWritesTheLastMeasurementWithoutARequest() {
        SelectNewFile(path);
        f->RunGo(3, [this] { f->Stop(); });
        ChooseMode(2);
        QVERIFY(Need(*Page(), "ButtonManualRecord")->isVisible());
        QVERIFY(!Need(*Page(), "ButtonStopRecord")->isVisible());
        f->simulator.ClearRequestLog();
        Click("ButtonManualRecord");
        Click("ButtonManualRecord");
        QCOMPARE(int(f->simulator.RequestLog().size()), 0);
        QCOMPARE(Rows(Slurp(path)), 2);
        QCOMPARE(Shown("DispRecordedValues"), QStringLiteral("2"));
        const std::string red = "\t" + std::to_string(f->state->live.frame.w[0]) + "\t";
        QVERIFY(Slurp(path).find(red) != std::string::npos);
    }
};

QTEST_MAIN(TestRecorder)
#include "TestRecorder.moc"
