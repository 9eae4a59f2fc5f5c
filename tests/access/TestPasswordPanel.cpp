// The password popup and its trigger: the right password unlocks, a wrong one is told and tried
// again, closing leaves the page locked, and a right double click opens it past the help.
#include "access/PasswordPanel.h"
#include "controls/HelpRouter.h"
#include "core/HelpBook.h"
#include "support/ScriptedOperator.h"
#include "support/WhenReady.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>

using access_::PasswordPanel;

namespace {

// Stands for the main window, which restores its size on a right double click.
struct Window : QWidget {
    int rightDoubleClicks = 0;
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        rightDoubleClicks += event->button() == Qt::RightButton;
    }
};

// A modal popup blocks its caller: the step runs on the popup once it is open.
void WhenOpen(std::function<void(PasswordPanel&, QLineEdit&)> step) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, step] {
        auto* panel = qobject_cast<PasswordPanel*>(QApplication::activeModalWidget());
        if (!panel) return;
        poll->deleteLater();
        poll->stop();
        step(*panel, *panel->findChild<QLineEdit*>(QStringLiteral("StringEnterPW")));
    });
    poll->start(5);
}

void Type(QLineEdit& field, const QString& text, bool enter = true) {
    QTest::keyClicks(&field, text);
    if (enter) QTest::keyClick(&field, Qt::Key_Return);
}

constexpr core::NamedHelp kHelp[] = {{"CBF_EditCFR", {core::kHelpTitle, "Factor of RED."}}};

} // namespace

class TestPasswordPanel : public QObject {
    Q_OBJECT

    ScriptedOperator dialogs;
    Window window;

private slots:
    void init() { dialogs = ScriptedOperator(); }

    void aWrongPasswordIsToldAndTriedAgain_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("upper case first") << QStringLiteral("Vorpal");
        QTest::newRow("trailing blank") << QStringLiteral("vorpal ");
        QTest::newRow("empty") << QString();
    }
    void aWrongPasswordIsToldAndTriedAgain() {
        QFETCH(QString, typed);
        PasswordPanel panel(dialogs, &window);
        bool openAfterWrong = false;
        QString leftInField = QStringLiteral("unseen");
        WhenOpen([&](PasswordPanel& open, QLineEdit& field) {
            Type(field, typed);
            openAfterWrong = open.isVisible();
            leftInField = field.text();
            Type(field, QStringLiteral("vorpal"));
        });
        QVERIFY(panel.Ask());
        QVERIFY(openAfterWrong);
        QCOMPARE(leftInField, QString());
        QCOMPARE(dialogs.popups.size(), std::size_t(1));
        QVERIFY(dialogs.Saw("ATTENTION!", "Wrong password. \nPlease try again."));
    }

    void closingLeavesItLocked_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close box") << false;
        QTest::newRow("Escape") << true;
    }
    void closingLeavesItLocked() {
        QFETCH(bool, escape);
        PasswordPanel panel(dialogs, &window);
        QCOMPARE(panel.objectName(), QStringLiteral("PASSWORDP"));
        QString text, shown;
        WhenOpen([&](PasswordPanel& open, QLineEdit& field) {
            // The right password, never entered, and 15 characters more than the field keeps.
            Type(field, QStringLiteral("vorpalghijklmnopqrstu"), false);
            text = field.text();
            shown = field.displayText();
            if (escape)
                QTest::keyClick(&field, Qt::Key_Escape);
            else
                open.close();
        });
        QVERIFY(!panel.Ask());
        QVERIFY(dialogs.popups.empty());
        QCOMPARE(text, QStringLiteral("vorpalghijklmnopqrst"));
        QCOMPARE(shown, QString(20, QLatin1Char('*')));
    }

    void aRightDoubleClickOpensThePopupPastTheHelp() {
        // The calibration page's decoration around a field with help of its own, and the help
        // on the whole application as in the program.
        core::HelpBook book;
        book.Add(kHelp);
        core::HelpRouter router(book, dialogs);
        qApp->installEventFilter(&router);
        auto* deco = new QGroupBox(QStringLiteral("WHITE CALIBRATION"), &window);
        deco->setObjectName(QStringLiteral("DecoCalibrate1"));
        auto* field = new QLineEdit;
        field->setObjectName(QStringLiteral("EditCFR"));
        (new QVBoxLayout(deco))->addWidget(field);
        deco->resize(300, 150);
        window.show();
        access_::PasswordTrigger trigger(dialogs, &window);
        trigger.Watch(deco);
        QSignalSpy unlocked(&trigger, &access_::PasswordTrigger::Unlocked);
        const QPoint blank(deco->width() - 5, deco->height() - 5);

        // A left double click, a single right click, and the field's own, open nothing.
        QTest::mouseDClick(deco, Qt::LeftButton, {}, blank);
        QTest::mouseClick(deco, Qt::RightButton, {}, blank);
        QTest::mouseDClick(field, Qt::RightButton);
        QTest::qWait(30);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        bool closed = false;
        WhenOpen([&closed](PasswordPanel& open, QLineEdit& typed) {
            Type(typed, QStringLiteral("vor"), false);
            open.close();
            closed = true;
        });
        QTest::mouseDClick(deco, Qt::RightButton, {}, blank);
        QTRY_VERIFY_WITH_TIMEOUT(closed && !trigger.Panel().isVisible(), support::kEventLimitMs);

        QString onOpening = QStringLiteral("unseen");
        WhenOpen([&](PasswordPanel&, QLineEdit& typed) {
            onOpening = typed.text();
            Type(typed, QStringLiteral("vorpal"));
        });
        QTest::mouseDClick(deco, Qt::RightButton, {}, blank);
        QTRY_COMPARE_WITH_TIMEOUT(unlocked.count(), 1, support::kEventLimitMs);
        QCOMPARE(onOpening, QString());
        // Neither the help nor the window saw a thing.
        QVERIFY(dialogs.popups.empty());
        QCOMPARE(window.rightDoubleClicks, 0);
        qApp->removeEventFilter(&router);
    }
};

QTEST_MAIN(TestPasswordPanel)
#include "TestPasswordPanel.moc"
