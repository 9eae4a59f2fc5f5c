// Calibration, the service page and the hardware info file in the whole program against the
// simulator.
#include "app/ProgramFixture.h"
#include "calibration/CalibrationModule.h"
#include "settings/IniStore.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

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
        return f->Main().tabMain1->isTabVisible(int(core::MainPage::Offset));
    }
    // Types into the password popup once it is open.
    void AnswerPassword(const QString& typed) {
        QTimer::singleShot(100, [typed] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() != QLatin1String("PASSWORDP") || !top->isVisible()) continue;
                auto* field = top->findChild<QLineEdit*>(QStringLiteral("StringEnterPW"));
                field->setText(typed);
                QTest::keyClick(field, Qt::Key_Return);
                // A wrong password keeps it open: close it to end the test's wait.
                if (top->isVisible()) static_cast<QDialog*>(top)->reject();
            }
        });
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
        QTest::qWait(300);
        QVERIFY(!OffsetTabShown());
        QVERIFY(f->dialogs.Saw("ATTENTION!", "Wrong password. \nPlease try again."));

        AnswerPassword(QStringLiteral("vorpal"));
        QTest::mouseDClick(deco, Qt::RightButton, {}, QPoint(4, 4));
        QTest::qWait(300);
        QVERIFY(OffsetTabShown());
        QCOMPARE(f->CurrentPage(), int(core::MainPage::Offset));

        Click("ButtonCloseOffsetCompensation");
        QVERIFY(!OffsetTabShown());
        QCOMPARE(f->CurrentPage(), int(core::MainPage::Parameters));
    }

    void withoutASensorTheHardwareFileAsksNothingAndWritesNothing() {
        f->program->Calibration().CBF_ButtonGenHwInfoFile();
        QCOMPARE(f->dialogs.CountOf("file"), 0);
        QVERIFY(f->Log().contains(QStringLiteral("TIMEOUT!")));
        QVERIFY(!QFileInfo::exists(f->programDir.filePath(QStringLiteral("HardwareInitialFile.ini"))));
    }
};

QTEST_MAIN(TestCalibration)
#include "TestCalibration.moc"
