// Every control the operator works and every table, chart and swatch has a name a screen reader
// can say, on each page and panel, as the accessibility interfaces report it; a live value and a
// list's entry can be read, and their changes are heard.
#include "ProgramFixture.h"
#include "controls/AccessibleValue.h"
#include "controls/ValueDisplay.h"
#include "support/WhenReady.h"

#include <QAccessible>
#include <QDialog>
#include <QGroupBox>
#include <QTabBar>
#include <QtTest>

#include <functional>
#include <vector>

namespace {

// What a screen reader would be told, as the events come.
struct HeardEvent {
    QPointer<QObject> object;
    QAccessible::Event type;
    QVariant value;
    int child;
};
std::vector<HeardEvent> heard;

void Hear(QAccessibleEvent* event) {
    QVariant value;
    if (event->type() == QAccessible::ValueChanged)
        value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
    heard.push_back({event->object(), event->type(), value, event->child()});
}

std::vector<HeardEvent> HeardFrom(const QObject* object, QAccessible::Event type) {
    std::vector<HeardEvent> found;
    for (const HeardEvent& event : heard) {
        if (event.object == object && event.type == type) found.push_back(event);
    }
    return found;
}

// The interface of the widget with this role, found as a screen reader finds it: down the tree
// from the window, through visible widgets only.
QAccessibleInterface* FindInTree(QAccessibleInterface* node, const QString& role) {
    auto* widget = node ? qobject_cast<QWidget*>(node->object()) : nullptr;
    if (!widget || !widget->isVisible()) return nullptr;
    if (widget->objectName() == role) return node;
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* found = FindInTree(node->child(i), role)) return found;
    }
    return nullptr;
}

bool IsControl(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::Table:
        return true;
    default:
        return false;
    }
}

// Our own painted widgets (charts, value displays, LEDs, swatches): a role as object name and
// nothing inside but what they paint.
bool IsPaintedDisplay(const QWidget& widget) {
    const QString role = widget.objectName();
    return !role.isEmpty() && !role.startsWith(QLatin1String("qt_")) &&
           !qobject_cast<const QLabel*>(&widget) &&
           widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
}

QString Who(const QWidget& widget) {
    if (!widget.objectName().isEmpty()) return widget.objectName();
    const QWidget* named = widget.parentWidget();
    while (named && named->objectName().isEmpty())
        named = named->parentWidget();
    return QStringLiteral("%1 in %2")
        .arg(QString::fromLatin1(widget.metaObject()->className()),
             named ? named->objectName() : QStringLiteral("?"));
}

// What is wrong with the name the control is announced by; empty when nothing is.
QString NameFault(QAccessibleInterface& control, const QWidget& widget) {
    const QString name = control.text(QAccessible::Name).trimmed();
    if (name.isEmpty()) return QStringLiteral("no name");
    if (name == widget.objectName()) return QStringLiteral("its object name");
    if (control.role() == QAccessible::ComboBox && name == control.text(QAccessible::Value))
        return QStringLiteral("its current item");
    const auto* box = qobject_cast<const QGroupBox*>(widget.parentWidget());
    if (box && widget.accessibleName().isEmpty() && name == box->title())
        return QStringLiteral("its group box's title");
    if (name.endsWith(QLatin1Char(':'))) return QStringLiteral("a trailing colon");
    return {};
}

// The visible controls and displays under an interface, with the names they are announced by.
struct Walk {
    QStringList faults;
    QMultiHash<QString, QString> names; // by object name

    void Visit(QAccessibleInterface* node) {
        auto* widget = node ? qobject_cast<QWidget*>(node->object()) : nullptr;
        if (!widget || !widget->isVisible()) return;
        const bool control = IsControl(node->role());
        if (control || IsPaintedDisplay(*widget)) {
            names.insert(widget->objectName(), node->text(QAccessible::Name));
            if (const QString fault = NameFault(*node, *widget); !fault.isEmpty())
                faults << QStringLiteral("%1 (%2)").arg(Who(*widget), fault);
        }
        // A control's parts (a list's line edit, a table's cells) are its own.
        if (control) return;
        for (int i = 0; i < node->childCount(); ++i)
            Visit(node->child(i));
    }
};

// How a page or panel is brought into view, what shows that it is there, and how it is left.
struct Opening {
    std::function<void()> open;
    std::function<bool()> ready;
    std::function<QWidget*()> root;
    std::function<void()> close = [] {};
};

void ClickTab(QTabWidget* tabs, const QString& text) {
    QTabBar* bar = tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == text && bar->isTabVisible(i)) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
            return;
        }
    }
    qFatal("no tab %s", qPrintable(text));
}

} // namespace

class TestAccessibleNames : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

    QWidget* Find(const char* role) {
        return f->Window().findChild<QWidget*>(QString::fromLatin1(role));
    }
    QWidget* Shown(const char* role) {
        QWidget* found = Find(role);
        return found && found->isVisible() ? found : nullptr;
    }
    void MainTab(const char* text) { ClickTab(f->Main().tabMain1, QString::fromLatin1(text)); }
    void Click(QWidget& root, const char* role, int index = 0) {
        QTest::mouseClick(Need<QPushButton>(root, role, index), Qt::LeftButton);
    }
    void OpenPassword() {
        MainTab("CAL");
        QTest::mouseDClick(Find("DecoCalibrate1"), Qt::RightButton, {}, QPoint(4, 4));
    }

    Opening PageTab(const char* tab, int page) {
        return {[this, tab] { MainTab(tab); }, [this, page] { return f->CurrentPage() == page; },
                [this] { return &f->Window(); }};
    }
    Opening DataPage(const char* tab, int calculationMode = 0) {
        return {[this, tab, calculationMode] {
                    QComboBox* mode = f->ParameterPage().editCalcmode;
                    ProgramFixture::Choose(mode, mode->findData(calculationMode));
                    ClickTab(f->Data().tabDataP1, QString::fromLatin1(tab));
                },
                [this, tab] {
                    QTabWidget* pages = f->Data().tabDataP1;
                    return pages->isVisible() &&
                           pages->tabText(pages->currentIndex()) == QLatin1String(tab);
                },
                [this] { return &f->Window(); }};
    }
    Opening InsidePanel(
        std::function<void()> open, const char* panel, std::function<void()> close = [] {}) {
        return {std::move(open), [this, panel] { return Shown(panel) != nullptr; },
                [this] { return &f->Window(); }, std::move(close)};
    }
    Opening TopPanel(
        std::function<void()> open, std::function<QWidget*()> panel,
        std::function<void()> close = [] {}) {
        return {std::move(open),
                [panel] {
                    QWidget* shown = panel();
                    return shown && shown->isVisible();
                },
                panel, std::move(close)};
    }

    Opening OpeningOf(const QString& what) {
        if (what == QLatin1String("communication page"))
            return PageTab("COM", int(MainPage::Communication));
        if (what == QLatin1String("communication page, TCP/IP")) {
            Opening page = PageTab("COM", int(MainPage::Communication));
            page.open = [this] {
                MainTab("COM");
                ProgramFixture::Choose(f->Comm().editCommunicationProtocol, 1);
            };
            return page;
        }
        if (what == QLatin1String("parameter page"))
            return PageTab("PARA", int(MainPage::Parameters));
        if (what == QLatin1String("group and hold page"))
            return PageTab("GROUP", int(MainPage::GroupHold));
        if (what == QLatin1String("teach table page"))
            return PageTab("TEACH", int(MainPage::TeachTable));
        if (what == QLatin1String("recorder page")) return PageTab("REC", int(MainPage::Recorder));
        if (what == QLatin1String("calibration page"))
            return PageTab("CAL", int(MainPage::Calibration));
        if (what == QLatin1String("table attributes page"))
            return PageTab("ROWS", int(MainPage::TableAttributes));
        if (what == QLatin1String("scope page and panel")) {
            Opening page = PageTab("VAREV", int(MainPage::ScopeSettings));
            page.ready = [this] { return Shown("SCOPEP") != nullptr; };
            return page;
        }
        if (what == QLatin1String("service page")) {
            Opening page = PageTab("OFFSET", int(MainPage::Offset));
            page.open = [this] {
                support::WhenReady(
                    this, [this] { return Shown("PASSWORDP") != nullptr; },
                    [this] {
                        auto* field = Need<QLineEdit>(*Find("PASSWORDP"), "StringEnterPW");
                        QTest::keyClicks(field, QStringLiteral("vorpal"));
                        QTest::keyClick(field, Qt::Key_Return);
                    },
                    [] {});
                OpenPassword();
            };
            return page;
        }
        if (what == QLatin1String("data panel RGB")) return DataPage("RGB");
        if (what == QLatin1String("data panel INT")) return DataPage("INT");
        if (what == QLatin1String("data panel 2D")) return DataPage("2D");
        if (what == QLatin1String("data panel 3D")) return DataPage("3D", 2);
        if (what == QLatin1String("graph panel"))
            return InsidePanel([this] { Click(f->Window(), "ButtonShowGraph"); }, "GRAPHP");
        if (what.startsWith(QLatin1String("mean-value teach panel")))
            return InsidePanel(
                [this, siM = what.endsWith(QLatin1String("s i M"))] {
                    QComboBox* mode = f->ParameterPage().editCalcmode;
                    ProgramFixture::Choose(mode, mode->findData(siM ? 1 : 0));
                    MainTab("TEACH");
                    Click(f->Window(), "ButtonTeachMeanVal");
                },
                "TEACHP1", [this] { Click(*Find("TEACHP1"), "ButtonCloseTeachPanel"); });
        if (what == QLatin1String("recorded-value teach panel"))
            return InsidePanel(
                [this] {
                    MainTab("TEACH");
                    Click(f->Window(), "ButtonTeachRecVal");
                },
                "TEACHP2");
        if (what == QLatin1String("big colour number"))
            return TopPanel([this] { QTest::mouseDClick(f->Data().dispCol, Qt::LeftButton); },
                            [] { return TopLevel("COLBIGP"); });
        if (what == QLatin1String("big group"))
            return TopPanel([this] { QTest::mouseDClick(f->Data().dispGroup, Qt::LeftButton); },
                            [] { return TopLevel("GRPBIGP"); });
        if (what == QLatin1String("password popup"))
            return TopPanel([this] { OpenPassword(); }, [this] { return Find("PASSWORDP"); },
                            [this] { static_cast<QDialog*>(Find("PASSWORDP"))->reject(); });
        if (what == QLatin1String("protocol monitor"))
            return TopPanel(
                [this] {
                    MainTab("COM");
                    Click(f->Window(), "ButtonMonitor");
                },
                [this] { return Find("ProtocolMonitor"); });
        qFatal("no page or panel %s", qPrintable(what));
        return {};
    }

private slots:
    void init() {
        f = std::make_unique<ProgramFixture>();
        f->StartWithoutSensor();
    }
    void cleanup() {
        f.reset();
        core::ListenInsteadOfScreenReader(nullptr);
        heard.clear();
    }

    // As a screen reader listens: every event is heard.
    void Listen() {
        heard.clear();
        core::ListenInsteadOfScreenReader(Hear);
    }

    void everyControlTableAndChartHasAName_data() {
        QTest::addColumn<QString>("shown");
        // Names some controls must have, as "role=name".
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* shown, QStringList expected = {}) {
            QTest::newRow(shown) << QString::fromLatin1(shown) << expected;
        };
        row("communication page", {"EditCommunicationProtocol=PROTOCOL",
                                   "EditSelectComPort=COM PORT", "TextCommLog=COMMUNICATION LOG"});
        row("communication page, TCP/IP", {"StringIpAdress=SERVER", "StringPortNumber=PORT"});
        // The POWER slider and its number field sit in the TRANSMITTER AND RECEIVER box; a list
        // is its caption, not its item.
        row("parameter page",
            {"SlidePower=POWER", "EditCalcmode=CALCULATION MODE", "EditTrigger=TRIGGER"});
        row("group and hold page", {"EditColorGroups=COLOR GROUP", "EditGridGroups=GROUP TABLE",
                                    "EditGridHold=HOLD TABLE"});
        row("teach table page", {"GridCtt=teach table", "EditNo=No."});
        row("recorder page", {"EditSelectDataRec=RECORD MODE"});
        row("calibration page", {"EditCFR=CF RED"});
        row("table attributes page", {"EditSetColor=SET COLOR"});
        row("scope page and panel", {"EditTriggerMode=TRIGGER MODE", "EditScopeSignal=DISPLAY"});
        row("service page", {"EditRedOffset=OFFSET RED"});
        row("data panel RGB", {"DispCOL=C-No", "GraphRGB=RGB strip chart"});
        row("data panel INT");
        row("data panel 2D");
        row("data panel 3D");
        row("graph panel", {"EditSignal=SIGNAL"});
        row("mean-value teach panel", {"EditTP1TeachCtoWith=TEACH CTO WITH"});
        // Names follow their captions when the calculation mode changes them.
        row("mean-value teach panel, s i M",
            {"EditTP1TeachCtoWith=TEACH siTO WITH", "EditTP1ValueCto=VALUE siTO"});
        row("recorded-value teach panel");
        row("big colour number");
        row("big group");
        row("password popup", {"StringEnterPW=ENTER PASSWORD"});
        row("protocol monitor");
    }
    void everyControlTableAndChartHasAName() {
        QFETCH(QString, shown);
        QFETCH(QStringList, expected);
        const Opening opening = OpeningOf(shown);
        Walk walk;
        bool walked = false;
        // Walked from inside whatever loop the opening runs (a popup's, a measuring loop's).
        support::WhenReady(
            this, opening.ready,
            [&] {
                walk.Visit(QAccessible::queryAccessibleInterface(opening.root()));
                walked = true;
                opening.close();
            },
            opening.close);
        opening.open();
        QTRY_VERIFY_WITH_TIMEOUT(walked, support::kEventLimitMs);
        QVERIFY2(walk.faults.isEmpty(), qPrintable(walk.faults.join(QStringLiteral("; "))));
        for (const QString& pair : expected) {
            const QString role = pair.section(QLatin1Char('='), 0, 0);
            const QStringList names = walk.names.values(role);
            QVERIFY2(!names.isEmpty(), qPrintable(role + QStringLiteral(" was not shown")));
            for (const QString& name : names)
                QCOMPARE(name, pair.section(QLatin1Char('='), 1));
        }
    }

    void liveValuesAreReadAndHeard_data() {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("name");
        for (const char* row : {"/DispRED/RED", "/DispINT/INT", "CAL/DispRawBlue/RAW BLUE"}) {
            const QStringList parts = QString::fromLatin1(row).split(QLatin1Char('/'));
            QTest::newRow(row) << parts[0] << parts[1] << parts[2];
        }
    }
    void liveValuesAreReadAndHeard() {
        QFETCH(QString, tab);
        QFETCH(QString, role);
        QFETCH(QString, name);
        QVERIFY(f->ConnectThroughPage());
        if (!tab.isEmpty()) MainTab(qPrintable(tab));
        Listen();
        auto* display = f->Window().findChild<live::NumericDisplay*>(role);
        QVERIFY(display);
        QString readName, readValue, readText, shown;
        QVariant readNumber;
        // Read while GO runs, from the tree as a screen reader walks it.
        f->RunGoWhen([display] { return display->Value() != 0; },
                     [&] {
                         QAccessibleInterface* node =
                             FindInTree(QAccessible::queryAccessibleInterface(&f->Window()), role);
                         if (node && node->valueInterface() && node->textInterface()) {
                             readName = node->text(QAccessible::Name);
                             readValue = node->text(QAccessible::Value);
                             readNumber = node->valueInterface()->currentValue();
                             readText = node->textInterface()->text(
                                 0, node->textInterface()->characterCount());
                         }
                         shown = display->Text();
                         f->Stop();
                     });
        QCOMPARE(readName, name);
        QVERIFY(!shown.isEmpty());
        QCOMPARE(readValue, shown);
        QCOMPARE(readText, shown);
        QCOMPARE(readNumber.toString(), shown);
        // The last change heard is the value the display ends with.
        QTRY_VERIFY_WITH_TIMEOUT(!HeardFrom(display, QAccessible::ValueChanged).empty() &&
                                     HeardFrom(display, QAccessible::ValueChanged).back().value ==
                                         QVariant(display->Value()),
                                 support::kEventLimitMs);
    }

    // However often a value changes between two ticks of the refresh clock, it is heard once.
    void valueChangesAreHeardOncePerTick() {
        Listen();
        live::RefreshClock clock;
        live::NumericDisplay display(QStringLiteral("DispCoalesced"), clock);
        for (int value = 1; value <= 1000; ++value)
            display.SetValue(value);
        QTRY_VERIFY_WITH_TIMEOUT(!clock.Pending(), support::kEventLimitMs);
        const auto changes = HeardFrom(&display, QAccessible::ValueChanged);
        QCOMPARE(changes.size(), std::size_t(1));
        QCOMPARE(changes.front().value, QVariant(1000));
    }

    // A value shown as a label (the scope's delta X) is heard once it is painted anew.
    void labelValueIsHeardWhenShown() {
        Listen();
        QWidget window;
        QLabel* display = core::MakeValueDisplay(&window, "DispDeltaX");
        window.show();
        for (const char* value : {"1.5", "2.25", "3.125"})
            display->setText(QString::fromLatin1(value));
        QTRY_VERIFY_WITH_TIMEOUT(!HeardFrom(display, QAccessible::ValueChanged).empty(),
                                 support::kEventLimitMs);
        QCOMPARE(HeardFrom(display, QAccessible::ValueChanged).back().value, QVariant(3.125));
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(display);
        QVERIFY(read && read->valueInterface());
        QCOMPARE(read->valueInterface()->currentValue(), QVariant(3.125));
    }

    void listTellsItsEntry() {
        MainTab("COM");
        Listen();
        QComboBox* list = f->Comm().editCommunicationProtocol;
        ProgramFixture::Choose(list, list->findText(QStringLiteral("TCP/IP")));
        // The value, the text and the selected entries of the list's child, as read.
        const auto read = [this] {
            QAccessibleInterface* node =
                FindInTree(QAccessible::queryAccessibleInterface(&f->Window()),
                           QStringLiteral("EditCommunicationProtocol"));
            QStringList got;
            if (!node || node->text(QAccessible::Name) != QLatin1String("PROTOCOL") ||
                !node->textInterface() || node->childCount() != 1 ||
                !node->child(0)->tableInterface())
                return got;
            got << node->text(QAccessible::Value)
                << node->textInterface()->text(0, node->textInterface()->characterCount());
            for (QAccessibleInterface* cell : node->child(0)->tableInterface()->selectedCells())
                got << cell->text(QAccessible::Name);
            return got;
        };
        QCOMPARE(read(), QStringList({"TCP/IP", "TCP/IP", "TCP/IP"}));

        // The arrow key changes the entry, and a screen reader hears which.
        heard.clear();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(read(), QStringList({"RS232", "RS232", "RS232"}));
        const auto changes = HeardFrom(list->view(), QAccessible::Selection);
        QCOMPARE(changes.size(), std::size_t(1));
        QCOMPARE(changes.front().child, list->currentIndex());
    }
};

QTEST_MAIN(TestAccessibleNames)
#include "TestAccessibleNames.moc"
