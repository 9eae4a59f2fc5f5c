// Calibration, the service page and the hardware info file in the whole program against the
// simulator.
#include "app/ProgramFixture.h"
#include "calibration/CalibrationModule.h"
#include "model/IniStore.h"
#include "protocol/Orders.h"
#include "support/ReplyLimits.h"
#include "support/WhenReady.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QtTest>

namespace {
// How HW INFO FILE ends: a fault of the reply to order 194 with its value, and the cause told.
struct HardwareInfoCase {
    const char* name;
    sim::Fault sim::FaultSettings::*fault;
    int value;
    const char* cause;
};
using Faults = sim::FaultSettings;
const HardwareInfoCase kHardwareInfoCases[] = {
    {"no reply", &Faults::silence, 0, "no reply within the time limit"},
    {"reply cut short", &Faults::cutAfterBytes, 100, "the reply was cut short"},
    {"header check byte", &Faults::badHeadCheck, 0, "the reply's header was broken"},
    {"data check byte", &Faults::badDataCheck, 0, "the reply's data check byte was wrong"},
    // One data byte more than order 194 asks for.
    {"reply to another request", &Faults::oddLength, 0, "the reply was to another request"},
    // Closed after a reply cut to nothing.
    {"link closed", &Faults::closeAfterReplies, 1, "the link is closed"},
};
} // namespace

class TestCalibration : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

    QWidget* Page() { return Need(f->Window(), "CalibrationPage"); }
    QSpinBox* Field(const char* role) { return Need<QSpinBox>(f->Window(), role); }
    std::array<int, 3> Factors() {
        return {Field("EditCFR")->value(), Field("EditCFG")->value(), Field("EditCFB")->value()};
    }
    void Click(const char* role) {
        QTest::mouseClick(Need<QPushButton>(f->Window(), role), Qt::LeftButton);
    }
    bool OffsetTabShown() {
        return f->Main().tabMain1->indexOf(Need(f->Window(), "OffsetPage")) >= 0;
    }
    // The calculation ends in GO: STOP once it runs.
    void StopOnceGoRuns() {
        support::WhenReady(
            &f->Window(), [this] { return f->program->Gate().LoopRunning(); },
            [this] { f->Stop(); }, [this] { f->Stop(); });
    }
    static QDialog* PasswordPopup() {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("PASSWORDP") && top->isVisible())
                return static_cast<QDialog*>(top);
        return nullptr;
    }
    // Types into the password popup once it is open.
    void AnswerPassword(const QString& typed) {
        support::WhenReady(
            &f->Window(), [] { return PasswordPopup() != nullptr; },
            [typed] {
                QDialog* popup = PasswordPopup();
                auto* field = popup->findChild<QLineEdit*>(QStringLiteral("StringEnterPW"));
                field->setText(typed);
                QTest::keyClick(field, Qt::Key_Return);
                // A wrong password keeps it open: close it to end the test's wait.
                if (popup->isVisible()) popup->reject();
            },
            [] {});
    }

private slots:
    void init() {
        f = std::make_unique<ProgramFixture>();
        f->StartWithoutSensor();
        f->dialogs.popups.clear();
    }
    void cleanup() { f.reset(); }

    void theServicePageOpensWithThePasswordAndClosesAgain() {
        QVERIFY(!OffsetTabShown());
        f->program->ShowPage(core::MainPage::Calibration);
        QWidget* deco = Need(f->Window(), "DecoCalibrate1");
        AnswerPassword(QStringLiteral("Vorpal"));
        QTest::mouseDClick(deco, Qt::RightButton, {}, QPoint(4, 4));
        QTRY_VERIFY_WITH_TIMEOUT(
            f->dialogs.Saw("ATTENTION!", "Wrong password. \nPlease try again."),
            support::kEventLimitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!PasswordPopup(), support::kEventLimitMs);
        QVERIFY(!OffsetTabShown());

        AnswerPassword(QStringLiteral("vorpal"));
        QTest::mouseDClick(deco, Qt::RightButton, {}, QPoint(4, 4));
        QTRY_VERIFY_WITH_TIMEOUT(OffsetTabShown(), support::kEventLimitMs);
        QCOMPARE(f->CurrentPage(), int(core::MainPage::Offset));

        Click("ButtonCloseOffsetCompensation");
        QVERIFY(!OffsetTabShown());
        QCOMPARE(f->CurrentPage(), int(core::MainPage::Parameters));
    }

    // While locked, neither the wheel over the tab bar nor Ctrl+Tab brings the service page
    // forward, before it was ever opened and after it was closed again.
    void aLockedServicePageIsUnreachable() {
        auto tryToReach = [this] {
            QTabWidget* tabs = f->Main().tabMain1;
            QTabBar* bar = tabs->tabBar();
            f->program->ShowPage(core::MainPage::ScopeSettings);
            for (int i = 0; i < 12; ++i) {
                QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier);
                if (f->CurrentPage() == int(core::MainPage::Offset)) return false;
            }
            for (int delta : {-120, 120}) {
                for (int i = 0; i < 12; ++i) {
                    const QPointF at(bar->rect().center());
                    QWheelEvent wheel(at, bar->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                                      Qt::NoModifier, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(bar, &wheel);
                    if (f->CurrentPage() == int(core::MainPage::Offset)) return false;
                }
            }
            return !Need(f->Window(), "OffsetPage")->isEnabled();
        };
        QVERIFY(tryToReach());
        f->program->ShowPage(core::MainPage::Calibration);
        AnswerPassword(QStringLiteral("vorpal"));
        QTest::mouseDClick(Need(f->Window(), "DecoCalibrate1"), Qt::RightButton, {}, QPoint(4, 4));
        QTRY_VERIFY_WITH_TIMEOUT(OffsetTabShown(), 20000);
        Click("ButtonCloseOffsetCompensation");
        QVERIFY(tryToReach());
    }

    void getAndSendFactorsAndTheSensorsPlausibilityNotice() {
        QVERIFY(f->ConnectThroughPage());
        f->program->ShowPage(core::MainPage::Calibration);
        Field("EditCFR")->setValue(2048);
        Field("EditCFG")->setValue(1024);
        Field("EditCFB")->setValue(512);
        Click("ButtonSendCF");
        QCOMPARE(f->simulator.CalibrationFactors(),
                 (std::array<std::uint16_t, 3>{2048, 1024, 512}));
        Field("EditCFR")->setValue(77);
        Click("ButtonGetCF");
        QCOMPARE(Factors(), (std::array<int, 3>{2048, 1024, 512}));
        // A factor of 0 is refused by the sensor and said so.
        Field("EditCFG")->setValue(0);
        Click("ButtonSendCF");
        QVERIFY(
            f->Log().contains(QStringLiteral("INFO!\n1 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY "
                                             "CHECK AND WERE SET TO DEFAULT VALUE!")));
    }

    // A value the sensor replaced with its default is its notice, not a link fault: the notice
    // alone goes to the log, the page stays in front, and the status bar says what happened.
    void aValueTheSensorReplacedIsNoLinkFault_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::newRow("SEND CF, a factor of 0") << "SEND CF"
                                                << "EditCFG" << 0;
        QTest::newRow("SEND OFFSET, an offset too large") << "SEND OFFSET"
                                                          << "EditGreenOffset" << 5000;
    }
    void aValueTheSensorReplacedIsNoLinkFault() {
        QFETCH(QString, command);
        QFETCH(QString, field);
        QFETCH(int, value);
        QVERIFY(f->ConnectThroughPage());
        const bool offset = command == QLatin1String("SEND OFFSET");
        if (offset) f->program->Calibration().UnlockOffsetPage();
        const auto page = offset ? core::MainPage::Offset : core::MainPage::Calibration;
        f->program->ShowPage(page);
        Field(qPrintable(field))->setValue(value);
        const QString before = f->Log();
        Click(offset ? "ButtonSendOffset" : "ButtonSendCF");
        QCOMPARE(f->Log().mid(before.size()),
                 QStringLiteral("INFO!\n1 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND "
                                "WERE SET TO DEFAULT VALUE!\n\n"));
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
        QCOMPARE(f->CurrentPage(), int(page));
        QVERIFY(f->Data().dispStatus->text() != QStringLiteral("TIMEOUT!"));
        QVERIFY(Need<QPushButton>(f->Window(), "ButtonTryToConnect")->isEnabled());
        const QString status = Need<QLabel>(f->Window(), "StatusCommand")->text();
        QVERIFY2(status.startsWith(
                     command + QStringLiteral(": done; the sensor replaced values, see the log")),
                 qPrintable(status));
        QVERIFY(Need<QLabel>(f->Window(), "StatusLink")->text().startsWith("CONNECTED: "));
    }

    void aCalculationAveragesAHundredFramesSendsTheFactorsAndStartsGo() {
        QVERIFY(f->ConnectThroughPage());
        f->program->ShowPage(core::MainPage::Calibration);
        f->simulator.SetRawSpread(0); // a white target
        Field("EditSetValue")->setValue(1000);
        f->dialogs.confirmAnswers = {true, true};
        f->simulator.ClearRequestLog();
        bool going = false;
        support::WhenReady(
            &f->Window(),
            [this] { return f->program->Gate().LoopRunning() && f->RequestsOfOrder(8) > 100; },
            [&] {
                going = true;
                f->Stop();
            },
            [this] { f->Stop(); });
        Click("ButtonCalcCF");
        QVERIFY(f->dialogs.Saw("CALIBRATION PASSED!",
                               "Calibration successful! \nCalibration factors were sent to the "
                               "EEPROM of the sensor. \nGO mode will be activated. "));
        QVERIFY(going);
        QVERIFY(f->RequestsOfOrder(8) > 100);
        QCOMPARE(f->RequestsOfOrder(101), 1);
        const auto factors = Factors();
        const auto sent = f->simulator.CalibrationFactors();
        QCOMPARE((std::array<int, 3>{sent[0], sent[1], sent[2]}), factors);
        QVERIFY(factors[0] != 1024 || factors[1] != 1024 || factors[2] != 1024);
        QVERIFY(Need<QPushButton>(f->Window(), "ButtonCalcCF")->isEnabled());
    }

    // A failure is never told as success, and the command ends with it: no factors sent after
    // an averaging that failed, no "CALIBRATION PASSED!" and no GO after a send that failed.
    void aFailedCalculationSaysNoSuccessAndEnds_data() {
        QTest::addColumn<int>("silentOrder");
        QTest::addColumn<int>("measurements");
        QTest::addColumn<int>("sends");
        QTest::newRow("silent during the averaging") << 8 << 1 << 0;
        QTest::newRow("factors not taken") << 101 << 100 << 1;
    }
    void aFailedCalculationSaysNoSuccessAndEnds() {
        QFETCH(int, silentOrder);
        QFETCH(int, measurements);
        QFETCH(int, sends);
        QVERIFY(f->ConnectThroughPage());
        f->program->ShowPage(core::MainPage::Calibration);
        f->simulator.SetRawSpread(0); // a white target
        Field("EditSetValue")->setValue(1000);
        comm::SensorLink& link = f->program->Link();
        sim::FaultSettings faults;
        faults.silence = sim::Fault{true, 0, silentOrder};
        // The time-out is the point, not its moment: the silent exchange has a short limit, and
        // no exchange that must succeed is held to it.
        QTimer releaser;
        int released = 0;
        if (silentOrder == protocol::kOrderMeasure) {
            support::ShortReplyLimit(link); // the command's first exchange
        } else {
            // Each measurement's reply waits for the test, under the long limit; the short one
            // is set once the last measurement's wait has begun, before its reply is let go.
            faults.hold = sim::Fault{true, 0, protocol::kOrderMeasure};
            support::LongReplyLimit(link);
            QObject::connect(&releaser, &QTimer::timeout, [&] {
                const int asked = f->RequestsOfOrder(protocol::kOrderMeasure);
                if (asked == measurements) support::ShortReplyLimit(link);
                if (asked > released && f->simulator.ReleaseHeldReply() > 0) ++released;
            });
            releaser.start(5);
        }
        f->simulator.SetFaults(faults);
        f->dialogs.confirmAnswers = {true, true};
        f->simulator.ClearRequestLog();
        Click("ButtonCalcCF");
        releaser.stop();
        support::DefaultReplyLimit(link);
        QCOMPARE(f->RequestsOfOrder(8), measurements);
        QCOMPARE(f->RequestsOfOrder(101), sends);
        QCOMPARE(f->dialogs.CountOf("message"), 0);
        QVERIFY(f->Log().contains(QStringLiteral("TIMEOUT!")));
        QVERIFY(!f->program->Gate().Busy());
        QVERIFY(Need<QPushButton>(f->Window(), "ButtonCalcCF")->isEnabled());
    }

    // A calibration step ends where the operator can go on: a check of the calculation that
    // fails says so on the status bar, sends nothing, starts no GO and leaves every button live;
    // the self calibration's factors show with SEND CF live, the status bar saying the sensor
    // does not hold them yet.
    void aCalibrationStepEndsWhereTheOperatorCanGoOn_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("spread");   // the raw spread the sensor sees
        QTest::addColumn<int>("setValue"); // the set value typed before
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("popup");
        QTest::newRow("raw delta too high")
            << "ButtonCalcCF" << 1000 << 1000 << "CALCULATE CF: raw delta too high, nothing sent"
            << "The maximum delta of the raw data values RED,GREEN and BLUE is to high. "
               "\nCalibration is not possible. \nVerify, that the sensor shines on a WHITE "
               "target! \nIncrease MAXIMUM DELTA OF RAW DATAS! ";
        QTest::newRow("factor out of range")
            << "ButtonCalcCF" << 0 << 65535 << "CALCULATE CF: factor out of range, nothing sent"
            << "One of the calibration factor is out of range. \nCalibration is not possible. "
               "\nVerify, that the senor shines on a WHITE target! \nChoose a proper POWER "
               "value. ";
        QTest::newRow("self calibration")
            << "ButtonStartSelfCalibration" << 0 << 1000
            << "SELF CALIBRATION: factors received; the factors shown are not in the sensor "
               "until SEND CF"
            << "Confirm calibration factors with SEND CF.";
    }
    void aCalibrationStepEndsWhereTheOperatorCanGoOn() {
        QFETCH(QString, button);
        QFETCH(int, spread);
        QFETCH(int, setValue);
        QFETCH(QString, status);
        QFETCH(QString, popup);
        QVERIFY(f->ConnectThroughPage());
        f->program->ShowPage(core::MainPage::Calibration);
        f->simulator.SetRawSpread(spread);
        Field("EditMaxDelta")->setValue(200);
        Field("EditSetValue")->setValue(setValue);
        Field("EditCFR")->setValue(1500);
        f->dialogs.confirmAnswers = {true, true};
        f->simulator.ClearRequestLog();
        // A GO that should not run is stopped, so the test fails rather than waits for STOP.
        bool going = false;
        const QPointer<QTimer> watch = support::WhenReady(
            &f->Window(), [this] { return f->program->Gate().LoopRunning(); },
            [&] {
                going = true;
                f->Stop();
            },
            [] {});
        Click(qPrintable(button));
        delete watch.data();
        QVERIFY(!going);
        QVERIFY(f->dialogs.Saw("ATTENTION!", popup.toStdString()));
        QVERIFY(!f->program->Gate().Busy());
        const QString shown = Need<QLabel>(f->Window(), "StatusCommand")->text();
        QVERIFY2(shown.startsWith(status + "  "), qPrintable(shown));
        QTRY_COMPARE_WITH_TIMEOUT(Need<QLabel>(f->Window(), "StatusLoop")->text(),
                                  QStringLiteral("STOPPED"), support::kEventLimitMs);
        for (const char* role :
             {"ButtonSendCF", "ButtonGetCF", "ButtonCalcCF", "ButtonStartSelfCalibration"})
            QVERIFY2(Need<QPushButton>(f->Window(), role)->isEnabled(), role);
        QVERIFY(f->Main().buttonGo->isEnabled());
        // Nothing reached the sensor's calibration memory.
        QCOMPARE(f->RequestsOfOrder(protocol::kOrderWriteCalibration), 0);
        QCOMPARE(f->simulator.CalibrationFactors(),
                 (std::array<std::uint16_t, 3>{1024, 1024, 1024}));
        const bool self = button == QLatin1String("ButtonStartSelfCalibration");
        if (!self) {
            QCOMPARE(Factors(), (std::array<int, 3>{1500, 1024, 1024})); // left as they were
            return;
        }
        // The factors shown go to the sensor with SEND CF.
        const auto shownFactors = Factors();
        QVERIFY(shownFactors != (std::array<int, 3>{1500, 1024, 1024}));
        Click("ButtonSendCF");
        const auto held = f->simulator.CalibrationFactors();
        QCOMPARE((std::array<int, 3>{held[0], held[1], held[2]}), shownFactors);
    }

    void decliningTheConfirmationStillSendsAndStartsGo() {
        QVERIFY(f->ConnectThroughPage());
        f->program->ShowPage(core::MainPage::Calibration);
        f->dialogs.confirmAnswers = {true, false};
        f->simulator.ClearRequestLog();
        StopOnceGoRuns();
        Click("ButtonCalcCF");
        QVERIFY(f->dialogs.Saw("INFO!", "Please insert the right values and press \n CALCULATE "
                                        "CALIBRATION FACTORS again."));
        QCOMPARE(f->RequestsOfOrder(101), 1);
        QCOMPARE(Factors(), (std::array<int, 3>{1024, 1024, 1024}));
        QVERIFY(f->RequestsOfOrder(8) > 0);
    }

    void selfCalibrationFillsAllFiveFields() {
        QVERIFY(f->ConnectThroughPage());
        f->program->ShowPage(core::MainPage::Calibration);
        Field("EditSetValue")->setValue(1);
        f->dialogs.confirmAnswers = {true};
        Click("ButtonStartSelfCalibration");
        QVERIFY(f->dialogs.Saw("ATTENTION!", "Confirm calibration factors with SEND CF."));
        QVERIFY(Field("EditSetValue")->value() > 1);
        QVERIFY(Field("EditMaxDelta")->value() > 0);
        QVERIFY(Factors() != (std::array<int, 3>{1024, 1024, 1024}));
        // Not stored until SEND CF.
        QCOMPARE(f->simulator.CalibrationFactors(),
                 (std::array<std::uint16_t, 3>{1024, 1024, 1024}));
    }

    void measuredOffsetsShowAndGetOffsetsOverwritesTheFactorFields() {
        QVERIFY(f->ConnectThroughPage());
        f->program->Calibration().UnlockOffsetPage();
        f->dialogs.confirmAnswers = {true};
        Click("ButtonCalcOffset");
        const auto offsets = f->simulator.Offsets();
        QCOMPARE(Need<QLabel>(f->Window(), "DispRedOffset")->text(), QString::number(offsets[0]));
        QCOMPARE(Need<QSpinBox>(f->Window(), "EditBlueOffset")->value(), int(offsets[2]));
        Field("EditCFR")->setValue(3000);
        Click("ButtonGetOffset");
        QCOMPARE(Field("EditCFR")->value(), 1024);
        Need<QSpinBox>(f->Window(), "EditGreenOffset")->setValue(33);
        Click("ButtonSendOffset");
        QCOMPARE(int(f->simulator.Offsets()[1]), 33);
    }

    void theHardwareInfoFileHoldsTheSensorCompletely() {
        QVERIFY(f->ConnectThroughPage());
        const QString path = f->programDir.filePath(QStringLiteral("hw.ini"));
        f->dialogs.fileAnswers = {{core::OperatorDialogs::FileChoice::New, path.toStdString()}};
        f->program->Calibration().CBF_ButtonGenHwInfoFile();
        QVERIFY(f->Log().contains(QStringLiteral("HARDWARE INI FILE HAS BEEN SAVED TO:\n") + path));
        settings::IniStore store;
        QCOMPARE(store.ReadFromFile(path.toStdString()), int(settings::kIniOk));
        std::string data;
        QCOMPARE(store.GetString("HARDWARE INFO", "DATA", data), int(settings::kIniFound));
        QCOMPARE(data.size(), std::size_t(1024));
        QVERIFY(data.rfind("000100ff", 0) == 0);
        std::string type;
        store.GetString("GENERAL INFO", "FILE TYPE:", type);
        QCOMPARE(type, std::string("Hardware Initial File"));
        std::int32_t red = 0;
        QCOMPARE(store.GetInt("CALIBRATION FACTOR", "RED", red), int(settings::kIniFound));
        QCOMPARE(red, 1024);
        const auto& sections = store.Sections();
        QCOMPARE(QString::fromStdString(sections[0].name), QStringLiteral("GENERAL INFO"));
        QCOMPARE(QString::fromStdString(sections[1].name), QStringLiteral("HARDWARE INFO"));
        QCOMPARE(QString::fromStdString(sections.back().name), QStringLiteral("TEACH VECTOR 30"));

        // Cancelled: said in the log, nothing written.
        f->program->Calibration().CBF_ButtonGenHwInfoFile();
        QVERIFY(f->Log().contains(QStringLiteral("ATTENTION!   NO FILE WAS SELECTED!")));

        // A directory where the file should go: said so, and why, not logged as saved.
        const QString folder = f->programDir.filePath(QStringLiteral("a-folder.ini"));
        QVERIFY(QDir().mkdir(folder));
        f->dialogs.fileAnswers = {
            {core::OperatorDialogs::FileChoice::Existing, folder.toStdString()}};
        f->program->Calibration().CBF_ButtonGenHwInfoFile();
        QVERIFY(
            f->dialogs.Saw("ERROR", "The file could not be written!\n" + folder.toStdString() +
                                        " is a directory, not a regular file: left untouched."));
        QVERIFY(!f->Log().contains(QStringLiteral("SAVED TO:\n") + folder));
        QVERIFY(QFileInfo(folder).isDir());
    }

    // HW INFO FILE, clicked on the communication page, ends on its own words on the status bar
    // and in the log, whatever the reads inside it said before: saved, or failed and why (each
    // way the reply to order 194 can fail, or the file). Its button is live again while the link
    // is good.
    void aHardwareInfoFileEndsOnItsOwnOutcome_data() {
        QTest::addColumn<int>("which"); // of kHardwareInfoCases, -1 for none
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("status"); // after "HW INFO FILE: "; %1 is the path chosen
        QTest::addColumn<QString>("log");    // the log's end
        QTest::newRow("saved") << -1 << true << "done"
                               << "HARDWARE INI FILE HAS BEEN SAVED TO:\n%1\n\n";
        for (int i = 0; i < int(std::size(kHardwareInfoCases)); ++i) {
            const QString cause = QLatin1String(kHardwareInfoCases[i].cause);
            QTest::newRow(kHardwareInfoCases[i].name)
                << i << true << "failed, hardware info (order 194): " + cause + "; no file written"
                << "HW INFO FILE FAILED: HARDWARE INFO (ORDER 194): " + cause.toUpper() +
                       ". NO FILE WAS WRITTEN.\n\n";
        }
        QTest::newRow("file cannot be written")
            << -1 << false << "failed, the file could not be written: %1: its folder does not exist"
            << "HW INFO FILE FAILED: HARDWARE INI FILE COULD NOT BE WRITTEN.\n%1: its folder does "
               "not exist\n\n";
    }
    void aHardwareInfoFileEndsOnItsOwnOutcome() {
        QFETCH(int, which);
        QFETCH(bool, writable);
        QFETCH(QString, status);
        QFETCH(QString, log);
        QVERIFY(f->ConnectThroughPage());
        QPushButton* button = f->Comm().buttonGenHwInfoFile;
        QVERIFY(button->isEnabled());
        const QString path = f->programDir.filePath(writable ? QStringLiteral("hw.ini")
                                                             : QStringLiteral("none/hw.ini"));
        f->dialogs.fileAnswers = {{core::OperatorDialogs::FileChoice::New, path.toStdString()}};
        sim::FaultSettings faults;
        comm::SensorLink& link = f->program->Link();
        QTimer releaser;
        if (which >= 0) {
            const HardwareInfoCase& c = kHardwareInfoCases[which];
            faults.*c.fault = sim::Fault{true, c.value, protocol::kOrderHardwareInfo};
            if (c.fault == &Faults::closeAfterReplies)
                faults.cutAfterBytes = sim::Fault{true, 0, protocol::kOrderHardwareInfo};
            // A time-out is the point, not its moment: the reads before order 194 keep the long
            // limit; the short one is set while the sensor holds back the reply to order 102,
            // before it is let go. Part of a frame has to be in before it: a wide margin.
            const bool silent = c.fault == &Faults::silence;
            if (silent || c.fault == &Faults::cutAfterBytes) {
                faults.hold = sim::Fault{true, 0, protocol::kOrderReadCalibration};
                support::LongReplyLimit(link);
                QObject::connect(&releaser, &QTimer::timeout, [&, silent] {
                    if (f->RequestsOfOrder(protocol::kOrderReadCalibration) == 0) return;
                    link.SetTimeLimits(silent ? 0.3 : 1.0, comm::SensorLink::kTcpConnectTimeoutMs);
                    if (f->simulator.ReleaseHeldReply() > 0) releaser.stop();
                });
                releaser.start(5);
            }
        }
        f->simulator.SetFaults(faults);
        QTest::mouseClick(button, Qt::LeftButton);
        releaser.stop();
        support::DefaultReplyLimit(link);

        const QString shown = Need<QLabel>(f->Window(), "StatusCommand")->text();
        const QString expected = "HW INFO FILE: " + status.replace("%1", path) + "  ";
        QVERIFY2(shown.startsWith(expected), qPrintable(shown + " / " + expected));
        QVERIFY2(f->Log().endsWith(log.replace("%1", path)), qPrintable(f->Log()));
        QCOMPARE(button->isEnabled(), which < 0); // the link is good unless the reply failed
        QCOMPARE(QFileInfo::exists(path), which < 0 && writable);
    }

    void withoutASensorTheHardwareFileAsksNothingAndWritesNothing() {
        f->program->Calibration().CBF_ButtonGenHwInfoFile();
        QCOMPARE(f->dialogs.CountOf("file"), 0);
        QVERIFY(f->Log().contains(QStringLiteral("TIMEOUT!")));
        QVERIFY(
            !QFileInfo::exists(f->programDir.filePath(QStringLiteral("HardwareInitialFile.ini"))));
    }
};

QTEST_MAIN(TestCalibration)
#include "TestCalibration.moc"
