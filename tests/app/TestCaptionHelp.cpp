// A right click on a field's caption shows the field's help, on the real windows of the program.
#include "ProgramFixture.h"

#include <QtTest>

namespace {

// The caption with exactly this text on the page of that role.
QLabel* CaptionOn(QWidget& window, const char* page, const QString& text) {
    QLabel* found = nullptr;
    for (QLabel* label : Need(window, page)->findChildren<QLabel*>()) {
        if (label->text() != text) continue;
        if (found) qFatal("two captions %s on %s", qPrintable(text), page);
        found = label;
    }
    if (!found) qFatal("no caption %s on %s", qPrintable(text), page);
    return found;
}

} // namespace

class TestCaptionHelp : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

    // Brings the page to the front and right-clicks the caption; the popups it caused.
    std::vector<ScriptedOperator::Popup> RightClickCaption(const char* page, const QString& text) {
        QTabWidget* tabs = f->Main().tabMain1;
        const QWidget* pageWidget = Need(f->Window(), page);
        int tab = 0;
        while (tab < tabs->count() && tabs->widget(tab) != pageWidget &&
               !tabs->widget(tab)->isAncestorOf(pageWidget))
            ++tab;
        if (tab == tabs->count()) qFatal("page %s is no tab", page);
        tabs->setCurrentIndex(tab);
        QLabel* caption = CaptionOn(f->Window(), page, text);
        const std::size_t before = f->dialogs.popups.size();
        QTest::mouseClick(caption, Qt::RightButton);
        return {f->dialogs.popups.begin() + std::ptrdiff_t(before), f->dialogs.popups.end()};
    }

private slots:
    void init() {
        f = std::make_unique<ProgramFixture>();
        f->StartWithoutSensor();
    }
    void cleanup() { f.reset(); }

    void captionShowsItsFieldsHelp_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("callbackName");
        const auto row = [](const char* page, const char* caption, const char* name) {
            QTest::addRow("%s %s", page, caption)
                << QByteArray(page) << QString::fromLatin1(caption) << QByteArray(name);
        };
        row("ParameterPage", "POWER", "CBF_SlidePower");
        row("ParameterPage", "POWER MODE", "CBF_EditPmode");
        row("ParameterPage", "DYN WIN LO", "CBF_EditDynWinLoHi");
        row("ParameterPage", "DYN WIN HI", "CBF_EditDynWinLoHi");
        row("ParameterPage", "LED MODE", "CBF_EditLedMode");
        row("ParameterPage", "GAIN", "CBF_EditGain");
        row("ParameterPage", "AVERAGE", "CBF_EditAverage");
        row("ParameterPage", "INTEGRAL", "CBF_EditIntegral");
        row("ParameterPage", "EVALUATION MODE", "CBF_EditEvalmode");
        row("ParameterPage", "CALCULATION MODE", "CBF_EditCalcmode");
        row("ParameterPage", "MAX VEC NO", "CBF_EditMaxVecNo");
        row("ParameterPage", "INTLIM", "CBF_EditIntlim");
        row("ParameterPage", "DIGITAL OUTMODE", "CBF_EditDigOutmode");
        row("ParameterPage", "TRIGGER", "CBF_EditTrigger");
        row("ParameterPage", "EXTERN TEACH", "CBF_EditExteach");
        row("CommPage", "PROTOCOL", "CBF_EditCommunicationProtocol");
        row("CommPage", "COM PORT", "CBF_EditSelectComPort");
        row("CommPage", "BAUDRATE", "CBF_EditSelectBaudrate");
        row("CommPage", "SERVER", "CBF_StringIpAdress");
        row("CommPage", "PORT", "CBF_StringPortNumber");
        row("CommPage", "SENSOR ID", "CBF_EditID");
        row("GroupHoldPage", "COLOR GROUP", "CBF_EditColorGroups");
        row("GroupHoldPage", "RESET VALUE", "CBF_EditResetHold");
        // A named control that is a label keeps its own help.
        row("GroupHoldPage", "HOLD TABLE", "CBF_EditHold");
    }
    void captionShowsItsFieldsHelp() {
        QFETCH(QByteArray, page);
        QFETCH(QString, caption);
        QFETCH(QByteArray, callbackName);
        const core::HelpEntry* entry = f->program->Help().Find(callbackName.toStdString());
        QVERIFY(entry != nullptr);
        const auto popups = RightClickCaption(page.constData(), caption);
        QCOMPARE(popups.size(), std::size_t(1));
        QCOMPARE(popups[0].kind, std::string("message"));
        QCOMPARE(popups[0].title, std::string("INFO!"));
        QCOMPARE(QByteArray::fromStdString(popups[0].text), QByteArray(entry->text));
    }

    void plainCaptionShowsNothing_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("caption");
        QTest::newRow("communication log") << QByteArray("CommPage") << "COMMUNICATION LOG";
        QTest::newRow("group table") << QByteArray("GroupHoldPage") << "GROUP TABLE";
    }
    void plainCaptionShowsNothing() {
        QFETCH(QByteArray, page);
        QFETCH(QString, caption);
        QVERIFY(!CaptionOn(f->Window(), page.constData(), caption)->buddy());
        QVERIFY(RightClickCaption(page.constData(), caption).empty());
    }

    void captionOfADimmedFieldStillAnswers() {
        // COL5 takes the colour groups from the operator.
        auto params = f->ParameterPage();
        f->Choose(params.editEvalmode, params.editEvalmode->findText(QStringLiteral("COL5")));
        auto groups = f->GroupHold();
        QVERIFY(!groups.editColorGroups->isEnabled());
        const int value = groups.editColorGroups->currentIndex();
        const auto popups = RightClickCaption("GroupHoldPage", QStringLiteral("COLOR GROUP"));
        QCOMPARE(popups.size(), std::size_t(1));
        QCOMPARE(QByteArray::fromStdString(popups[0].text),
                 QByteArray("Activate color groups. \nNot possible when EVALMODE=COL5."));
        QCOMPARE(groups.editColorGroups->currentIndex(), value);
    }
};

QTEST_MAIN(TestCaptionHelp)
#include "TestCaptionHelp.moc"
