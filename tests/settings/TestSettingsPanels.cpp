// The panel settings file and the table attributes page on the real windows of the program.
#include "app/ProgramFixture.h"
#include "params/GroupHoldPage.h"
#include "params/TeachTablePage.h"
#include "settings/ColourSelector.h"
#include "settings/PanelSettings.h"
#include "settings/SettingsPanels.h"
#include "settings/TableAttributesPage.h"

#include "controls/ScreenFit.h"
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>

#include <QtTest>

using namespace settings;

namespace {

using Choice = OperatorDialogs::FileChoice;

QByteArray Crlf(const char* text) {
    QByteArray bytes(text);
    bytes.replace("\n", "\r\n");
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char* kSavedSettings = R"([GENERAL INFO]
FILE TYPE: = "Panel Settings"
SCOPE VERSION: = "CHROMIX3-Varev V4.2"
PANEL ID: = "Line 4 sensor"

[PANEL POSITION]
MAINPANEL FULLSCREEN = 0
MAINPANEL LEFT = 37
MAINPANEL TOP = 52
MAINPANEL WIDTH = 700
MAINPANEL HEIGHT = 500

[DIRECTORIES]
PARAMETER FILE = "/data/sets/Parameter.ini"
RECORDER FILE = "/data/rec/Run.dat"
HARDWARE INI FILE = "/data/hw/Hw.ini"
TABLE ATTRIBUTES FILE = "/data/rows/Rows.ini"

[IP ADDRESSES]
LIST ITEMS = 3
IP ADDR 1 = "10.0.0.7"
IP ADDR 3 = "sensor-b.local"

[COMMUNICATION SETTINGS]
COMPROTOCOL = 1
COMPORT = 65539
BAUDRATE = 2
IP ADRESS = "10.0.0.7"
PORT NUMBER = "10005"

[TABLE ATTR OF TEACH VECTOR 7]
Row color = 1193046
Row specification = "cream white"
)";

} // namespace

class TestSettingsPanels : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    std::unique_ptr<QTemporaryDir> dir;

    QString SettingsPath() const { return dir->filePath(QStringLiteral("PanelSettings.cfg")); }
    // The table attributes page's controls by role, and the page for what it keeps.
    struct RowsPage {
        explicit RowsPage(QWidget& window)
            : page(Need<TableAttributesPage>(window, "TableAttributesPage")),
              editSetColor(Need<QComboBox>(*page, "EditSetColor")),
              editRow(Need<QSpinBox>(*page, "EditRow")),
              editColorNumericRow(Need<ColourSelector>(*page, "EditColorNumericRow")),
              buttonSetRowColor(Need<QPushButton>(*page, "ButtonSetRowColor")),
              tableRowAttributes(Need<QTableWidget>(*page, "TableRowAttributes")),
              buttonSaveArray(Need<QPushButton>(*page, "ButtonSaveArray")),
              buttonGetArray(Need<QPushButton>(*page, "ButtonGetArray")),
              buttonTableAttrReset(Need<QPushButton>(*page, "ButtonTableAttrReset")) {}
        void AssignRowColour(int row, std::uint32_t colour) { page->AssignRowColour(row, colour); }
        RowAttributes CollectRows() { return page->CollectRows(); }
        ColourMode Mode() const { return page->Mode(); }
        TableAttributesPage* page;
        QComboBox* editSetColor;
        QSpinBox* editRow;
        ColourSelector* editColorNumericRow;
        QPushButton* buttonSetRowColor;
        QTableWidget* tableRowAttributes;
        QPushButton* buttonSaveArray;
        QPushButton* buttonGetArray;
        QPushButton* buttonTableAttrReset;
    };
    RowsPage Page() { return RowsPage(f->Window()); }
    std::uint32_t CellColour(int row) {
        return Page()
                   .tableRowAttributes->item(row, TableAttributesPage::kColourColumn)
                   ->background()
                   .color()
                   .rgb() &
               0xFFFFFF;
    }
    // The colour of a teach vector in the teach, group and hold tables; the hold table's first
    // row is HOLD FAIL.
    std::array<std::uint32_t, 3> ColoursElsewhere(int teachVector) {
        auto colourOf = [](QTableWidget* table, int row, int column) {
            return table->item(row, column)->background().color().rgb() & 0xFFFFFF;
        };
        const auto groups = f->GroupHold();
        return {colourOf(f->TeachTable().gridCtt, teachVector, kTeachColourColumn),
                colourOf(groups.editGridGroups, teachVector, kGroupHoldColourColumn),
                colourOf(groups.editGridHold, teachVector + 1, kGroupHoldColourColumn)};
    }
    QString CellText(int row) {
        return Page()
            .tableRowAttributes->item(row, TableAttributesPage::kSpecificationColumn)
            ->text();
    }
    void SetCellText(int row, const QString& text) {
        Page()
            .tableRowAttributes->item(row, TableAttributesPage::kSpecificationColumn)
            ->setText(text);
    }
    // The two start-up reads, as InitApplication runs them, against the temporary directory.
    void ReadAtStartUp() {
        f->program->PanelSettings().ReadPanelSettingsLayout();
        f->Window().show();
        f->program->PanelSettings().ReadPanelSettingsCommunication();
    }
    void Choose(Choice choice, const QString& path) {
        f->dialogs.fileAnswers.push_back({choice, path.toStdString()});
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        f = std::make_unique<ProgramFixture>();
        f->state->settings.programDir = QDir::toNativeSeparators(dir->path()).toStdString();
        f->state->settings.panelSettingsPath = SettingsPath().toStdString();
    }
    void cleanup() {
        f.reset();
        dir.reset();
    }

    void withoutFileEverythingStartsAtItsDefaultAndCloseWritesAllSections() {
        const QSize built = f->Window().size();
        ReadAtStartUp();
        auto& state = *f->state;
        auto comm = f->Comm();
        const std::string base = QDir::toNativeSeparators(dir->path()).toStdString() + "/";
        QCOMPARE(state.settings.parameterFilePath, base + "Parameter.ini");
        QCOMPARE(state.settings.recordFilePath, base + "RecordFile.dat");
        QCOMPARE(state.settings.hardwareInfoPath, base + "HardwareInitialFile.ini");
        QCOMPARE(state.settings.tableAttributesPath, base + "TableAttributes.ini");
        QVERIFY(comm.editId->text().isEmpty());
        QCOMPARE(comm.editCommunicationProtocol->currentData().toInt(), 0);
        QCOMPARE(comm.editSelectComPort->currentData().toInt(), 1);
        QCOMPARE(comm.editSelectBaudrate->currentText(), QStringLiteral("115200"));
        QVERIFY(comm.stringIpAdress->currentText().isEmpty());
        QCOMPARE(comm.stringIpAdress->count(), 0);
        QCOMPARE(comm.stringPortNumber->text(), QStringLiteral("10001"));
        // As built, but never larger than the screen, title bar included.
        const QSize room = f->Window().screen()->availableGeometry().size() -
                           QSize(core::kFrameAllowanceWidth, core::kFrameAllowanceHeight);
        QCOMPARE(f->Window().size(), built.boundedTo(room));
        QCOMPARE(state.settings.rowColours[7], 0x800080u);
        QCOMPARE(CellColour(15), 0xFF0000u);
        QVERIFY(f->dialogs.popups.empty());

        f->Window().close();
        const QByteArray written = ReadFile(SettingsPath());
        for (const char* header :
             {"[GENERAL INFO]\r\n", "[PANEL POSITION]\r\n", "[DIRECTORIES]\r\n",
              "[IP ADDRESSES]\r\n", "[COMMUNICATION SETTINGS]\r\n",
              "[TABLE ATTR OF TEACH VECTOR 0]\r\n", "[TABLE ATTR OF TEACH VECTOR 30]\r\n"})
            QVERIFY2(written.contains(header), header);
        QVERIFY(written.contains("LIST ITEMS = 0\r\n"));
        QVERIFY(written.contains("PORT NUMBER = \"10001\"\r\n"));
    }

    void savedSettingsReachTheControlsAndTheWindow() {
        WriteFile(SettingsPath(), Crlf(kSavedSettings));
        ReadAtStartUp();
        auto& state = *f->state;
        auto comm = f->Comm();
        QCOMPARE(comm.editId->text(), QStringLiteral("Line 4 sensor"));
        QCOMPARE(state.params.sensorId, std::string("Line 4 sensor"));
        QVERIFY(f->BigGroup().windowTitle().endsWith(QStringLiteral("Line 4 sensor")));
        QVERIFY(!f->Window().isMaximized());
        QCOMPARE(f->Window().pos(), QPoint(37, 52));
        QCOMPARE(f->Window().size(), QSize(700, 500));
        QCOMPARE(state.settings.parameterFilePath, std::string("/data/sets/Parameter.ini"));
        QCOMPARE(state.settings.recordFilePath, std::string("/data/rec/Run.dat"));
        QCOMPARE(state.settings.hardwareInfoPath, std::string("/data/hw/Hw.ini"));
        QCOMPARE(state.settings.tableAttributesPath, std::string("/data/rows/Rows.ini"));
        // IP ADDR 2 is missing: the list closes up.
        QCOMPARE(comm.stringIpAdress->count(), 2);
        QCOMPARE(comm.stringIpAdress->itemText(0), QStringLiteral("10.0.0.7"));
        QCOMPARE(comm.stringIpAdress->itemText(1), QStringLiteral("sensor-b.local"));
        QCOMPARE(comm.editCommunicationProtocol->currentData().toInt(), 1);
        QCOMPARE(comm.editSelectComPort->currentData().toInt(), 3); // 65539 keeps its low 16 bits
        QCOMPARE(comm.editSelectBaudrate->currentText(), QStringLiteral("38400"));
        QCOMPARE(comm.stringIpAdress->currentText(), QStringLiteral("10.0.0.7"));
        QCOMPARE(comm.stringPortNumber->text(), QStringLiteral("10005"));
        QCOMPARE(CellColour(7), 0x123456u);
        QCOMPARE(state.settings.rowColours[7], 0x123456u);
        QCOMPARE(CellText(7), QStringLiteral("cream white"));
        // Rows the file lacks keep their default colour without a word at start-up.
        QCOMPARE(CellColour(8), 0x80FFFFu);
        QVERIFY(f->dialogs.popups.empty());
    }

    void startUpWithSavedTcpSettingsConnectsByItself() {
        const quint16 port = f->simulator.StartTcp(0);
        QByteArray text = Crlf(kSavedSettings);
        text.replace("\"10.0.0.7\"\r\nPORT NUMBER", "\"127.0.0.1\"\r\nPORT NUMBER");
        text.replace("\"10005\"", "\"" + QByteArray::number(port) + "\"");
        WriteFile(QDir(f->programDir.path()).filePath(QStringLiteral("PanelSettings.cfg")), text);
        f->StartWithoutSensor();
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
        QCOMPARE(f->state->link.protocol, std::uint16_t(kTcpIp));
        QVERIFY(f->Comm().stringIpAdress->isVisibleTo(f->Comm().page));
        QVERIFY(!f->Comm().editSelectComPort->isVisibleTo(f->Comm().page));
        QCOMPARE(f->Comm().editId->text(), QStringLiteral("Line 4 sensor"));
        QCOMPARE(CellText(7), QStringLiteral("cream white"));
    }

    void fullscreenTwoMaximisesWhateverThePositionSays() {
        WriteFile(SettingsPath(), Crlf("[GENERAL INFO]\nFILE TYPE: = \"Panel Settings\"\n\n"
                                       "[PANEL POSITION]\nMAINPANEL FULLSCREEN = 2\n"
                                       "MAINPANEL LEFT = 300\nMAINPANEL WIDTH = 400\n"));
        ReadAtStartUp();
        QVERIFY(f->Window().isMaximized());
    }

    // A geometry from a larger screen, or one off it, comes back inside the screen, frame
    // and all.
    void aSavedGeometryOffTheScreenIsPulledOntoIt_data() {
        QTest::addColumn<QByteArray>("geometry");
        // None saved (no zoom state): the window as built is larger than this screen.
        QTest::newRow("none") << QByteArray();
        QTest::newRow("larger") << QByteArray("LEFT = 0\nMAINPANEL TOP = 0\nMAINPANEL WIDTH = "
                                              "1920\nMAINPANEL HEIGHT = 1080\n");
        QTest::newRow("beyond the right edge")
            << QByteArray("LEFT = 2500\nMAINPANEL TOP = 300\nMAINPANEL WIDTH = 640\nMAINPANEL "
                          "HEIGHT = 480\n");
        QTest::newRow("above and left")
            << QByteArray("LEFT = -900\nMAINPANEL TOP = -700\nMAINPANEL "
                          "WIDTH = 500\nMAINPANEL HEIGHT = 400\n");
    }
    void aSavedGeometryOffTheScreenIsPulledOntoIt() {
        QFETCH(QByteArray, geometry);
        WriteFile(SettingsPath(),
                  Crlf("[GENERAL INFO]\nFILE TYPE: = \"Panel Settings\"\n\n[PANEL POSITION]\n" +
                       (geometry.isEmpty() ? QByteArray()
                                           : "MAINPANEL FULLSCREEN = 0\nMAINPANEL " + geometry)));
        ReadAtStartUp();
        const QRect screen = f->Window().screen()->availableGeometry();
        const QRect outer(f->Window().pos(),
                          f->Window().size() +
                              QSize(core::kFrameAllowanceWidth, core::kFrameAllowanceHeight));
        QVERIFY2(screen.contains(outer), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                        .arg(outer.x())
                                                        .arg(outer.y())
                                                        .arg(outer.width())
                                                        .arg(outer.height())));
    }

    void fullscreenZeroWithoutPositionUsesTheDefaultPlace() {
        WriteFile(SettingsPath(), Crlf("[GENERAL INFO]\nFILE TYPE: = \"Panel Settings\"\n\n"
                                       "[PANEL POSITION]\nMAINPANEL FULLSCREEN = 0\n"));
        ReadAtStartUp();
        QCOMPARE(f->Window().size(), QSize(790, 548));
        QCOMPARE(f->Window().x(), 10);
        // Top 40 where the screen leaves room for the title bar below.
        const int bottom = f->Window().screen()->availableGeometry().bottom();
        QCOMPARE(f->Window().y(), std::min(40, bottom + 1 - 548 - core::kFrameAllowanceHeight));
    }

    void aFileOfAnotherTypeIsIgnoredSilently() {
        QByteArray text = Crlf(kSavedSettings);
        text.replace("\"Panel Settings\"", "\"Panel settings\"");
        WriteFile(SettingsPath(), text);
        ReadAtStartUp();
        QVERIFY(f->Comm().editId->text().isEmpty());
        QCOMPARE(f->Comm().editCommunicationProtocol->currentData().toInt(), 0);
        QCOMPARE(f->Comm().stringIpAdress->count(), 0);
        QCOMPARE(CellColour(7), 0x800080u);
        QVERIFY(f->dialogs.popups.empty());
    }

    void acceptWritesWhatThePageShowsAndWritingTwiceGivesTheSameBytes() {
        ReadAtStartUp();
        auto comm = f->Comm();
        comm.editCommunicationProtocol->setCurrentIndex(1);
        comm.stringIpAdress->setEditText(QStringLiteral("192.168.4.20"));
        comm.stringPortNumber->setText(QStringLiteral("10777"));
        comm.editSelectBaudrate->setCurrentIndex(1);
        if (comm.editSelectComPort->findData(5) < 0) // as a machine with that port lists it
            comm.editSelectComPort->addItem(QStringLiteral("COM5"), 5);
        comm.editSelectComPort->setCurrentIndex(comm.editSelectComPort->findData(5));
        comm.editId->setText(QStringLiteral("Press 2"));
        f->state->link.serverList = {"192.168.4.20", "10.0.0.1"};
        Page().AssignRowColour(3, 0xABCDEF);
        SetCellText(3, QStringLiteral("blue cap"));
        f->state->settings.parameterFilePath = "/sets/P.ini";

        comm.buttonAccept->setEnabled(true);
        QTest::mouseClick(comm.buttonAccept, Qt::LeftButton);
        QCOMPARE(f->CurrentPage(), int(int(core::MainPage::Parameters)));
        const QByteArray first = ReadFile(SettingsPath());
        QVERIFY(first.contains("COMPROTOCOL = 1\r\nCOMPORT = 5\r\nBAUDRATE = 1\r\n"
                               "IP ADRESS = \"192.168.4.20\"\r\nPORT NUMBER = \"10777\"\r\n"));
        QVERIFY(first.contains("PANEL ID: = \"Press 2\"\r\n"));
        QVERIFY(first.contains("LIST ITEMS = 2\r\nIP ADDR 1 = \"192.168.4.20\"\r\n"
                               "IP ADDR 2 = \"10.0.0.1\"\r\n"));
        QVERIFY(first.contains("Row color = 11259375\r\nRow specification = \"blue cap\"\r\n"));
        QVERIFY(first.contains("PARAMETER FILE = \"/sets/P.ini\"\r\n"));
        QCOMPARE(f->state->link.serverName, std::string("192.168.4.20"));

        f->Window().close();
        QCOMPARE(ReadFile(SettingsPath()), first);

        // A restart reads back what was written.
        f = std::make_unique<ProgramFixture>();
        f->state->settings.panelSettingsPath = SettingsPath().toStdString();
        ReadAtStartUp();
        auto again = f->Comm();
        QCOMPARE(again.editCommunicationProtocol->currentData().toInt(), 1);
        QCOMPARE(again.stringIpAdress->currentText(), QStringLiteral("192.168.4.20"));
        QCOMPARE(again.stringPortNumber->text(), QStringLiteral("10777"));
        QCOMPARE(again.editSelectComPort->currentData().toInt(), 5);
        QCOMPARE(again.editId->text(), QStringLiteral("Press 2"));
        QCOMPARE(again.stringIpAdress->count(), 2);
        QCOMPARE(CellColour(3), 0xABCDEFu);
        QCOMPARE(CellText(3), QStringLiteral("blue cap"));
        QCOMPARE(f->state->settings.parameterFilePath, std::string("/sets/P.ini"));
    }

    // Texts are bytes: 8-bit characters come back from a load and a save as they were.
    void eightBitTextsSurviveALoadAndASaveByteForByte() {
        WriteFile(SettingsPath(),
                  "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n"
                  "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\n"
                  "PANEL ID: = \"Gr\xFCn \xB0\"\r\n\r\n"
                  "[DIRECTORIES]\r\nPARAMETER FILE = \"/s\xE4tze/P.ini\"\r\n\r\n"
                  "[IP ADDRESSES]\r\nLIST ITEMS = 1\r\nIP ADDR 1 = \"h\xF6st\"\r\n\r\n"
                  "[TABLE ATTR OF TEACH VECTOR 3]\r\nRow color = 255\r\n"
                  "Row specification = \"Gr\xFCn\"\r\n");
        ReadAtStartUp();
        QCOMPARE(f->Comm().editId->text(), QStringLiteral("Gr\u00FCn \u00B0"));
        QCOMPARE(CellText(3), QStringLiteral("Gr\u00FCn"));
        QCOMPARE(f->Comm().stringIpAdress->itemText(0), QStringLiteral("h\u00F6st"));
        f->program->PanelSettings().WritePanelSettings();
        const QByteArray written = ReadFile(SettingsPath());
        QVERIFY(written.contains("PANEL ID: = \"Gr\xFCn \xB0\"\r\n"));
        QVERIFY(written.contains("IP ADDR 1 = \"h\xF6st\"\r\n"));
        QVERIFY(written.contains("PARAMETER FILE = \"/s\xE4tze/P.ini\"\r\n"));
        QVERIFY(written.contains("Row specification = \"Gr\xFCn\"\r\n"));
        QVERIFY(!written.contains("\xEF\xBF\xBD"));
    }

    void anUnwritableSettingsFileLeavesTheProgramRunning() {
        f->state->settings.panelSettingsPath =
            dir->filePath(QStringLiteral("missing/PanelSettings.cfg")).toStdString();
        f->program->PanelSettings().WritePanelSettings();
        QVERIFY(!QFile::exists(QString::fromStdString(f->state->settings.panelSettingsPath)));
        QVERIFY(f->dialogs.popups.empty());
        // Not silent: one line in the communication log says where it could not be saved.
        QCOMPARE(f->Log().count(QStringLiteral("PANEL SETTINGS COULD NOT BE SAVED TO:\n") +
                                QString::fromStdString(f->state->settings.panelSettingsPath)),
                 1);
    }

    void tableAttributesSaveThenLoadRestoresEveryRowWithoutReport() {
        const QString path = dir->filePath(QStringLiteral("rows/Attr.ini"));
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("rows")));
        for (int i = 0; i < 31; ++i) {
            Page().AssignRowColour(i, std::uint32_t(0x010203 * (i + 5)) & 0xFFFFFF);
            SetCellText(i, QStringLiteral("colour %1 \"ü\"").arg(i));
        }
        Page().AssignRowColour(0, 0x000000);
        Page().AssignRowColour(1, 0xFFFFFF);
        const RowAttributes saved = Page().CollectRows();

        Choose(Choice::New, path);
        QTest::mouseClick(Page().buttonSaveArray, Qt::LeftButton);
        QCOMPARE(f->dialogs.lastFileTitle, std::string("TableAttributes"));
        QCOMPARE(f->dialogs.lastFileDefaultName, std::string("TableAttributes.ini"));
        QCOMPARE(f->dialogs.lastFileFilter, std::string("*.ini"));
        QCOMPARE(f->state->settings.tableAttributesPath, path.toStdString());
        QVERIFY(ReadFile(path).startsWith("[GENERAL INFO]\r\nFILE TYPE: = \"Table Attributes\""));

        QTest::mouseClick(Page().buttonTableAttrReset, Qt::LeftButton); // answered no
        f->dialogs.confirmAnswers = {true};
        QTest::mouseClick(Page().buttonTableAttrReset, Qt::LeftButton);
        QCOMPARE(CellColour(1), 0x80FF00u);

        const auto popupsBefore = f->dialogs.popups.size();
        Choose(Choice::Existing, path);
        QTest::mouseClick(Page().buttonGetArray, Qt::LeftButton);
        QCOMPARE(f->dialogs.lastFileStartDirectory,
                 QDir::toNativeSeparators(dir->filePath(QStringLiteral("rows"))).toStdString());
        QCOMPARE(f->dialogs.popups.size(), popupsBefore + 1); // the dialog, nothing else
        for (int i = 0; i < 31; ++i) {
            QCOMPARE(CellColour(i), saved.colours[std::size_t(i)]);
            QCOMPARE(f->state->settings.rowColours[std::size_t(i)], saved.colours[std::size_t(i)]);
            QCOMPARE(CellText(i), QStringLiteral("colour %1 \"ü\"").arg(i));
        }
    }

    void aMissingRowSectionIsReportedAndTakesItsDefaultColour() {
        RowAttributes rows = DefaultRowAttributes();
        for (auto& colour : rows.colours)
            colour = 0x101010;
        std::string text = TableAttributesText(rows);
        const auto start = text.find("[TABLE ATTR OF TEACH VECTOR 7]");
        const auto end = text.find("[TABLE ATTR OF TEACH VECTOR 8]");
        text.erase(start, end - start);
        const QString path = dir->filePath(QStringLiteral("Gap.ini"));
        WriteFile(path, QByteArray::fromStdString(text));

        Choose(Choice::Existing, path);
        QTest::mouseClick(Page().buttonGetArray, Qt::LeftButton);
        QVERIFY(f->dialogs.Saw("Attention!", "Following teach vectors could not be read \nand "
                                             "where set to default value:\n\n"
                                             "TABLE ATTR OF TEACH VECTOR 7\n"));
        QCOMPARE(CellColour(7), 0x800080u);
        QCOMPARE(CellColour(6), 0x101010u);
        QCOMPARE(f->dialogs.CountOf("confirm"), 0);
    }

    void loadingAForeignFileAsksAndNoKeepsTheRows() {
        const QString path = dir->filePath(QStringLiteral("Other.ini"));
        WriteFile(path, Crlf("[GENERAL INFO]\nFILE TYPE: = \"Parameter File\"\n"
                             "SCOPE VERSION: = \"V4.1\"\n"));
        Page().AssignRowColour(2, 0x222222);

        Choose(Choice::Existing, path);
        QTest::mouseClick(Page().buttonGetArray, Qt::LeftButton);
        QVERIFY(f->dialogs.Saw("ATTENTION!", "Selected file is not a table attributes file! "
                                             "\nDo you want to proceed anyway?"));
        QVERIFY(f->dialogs.Saw("ATTENTION!", "No parameter where read!"));
        QCOMPARE(CellColour(2), 0x222222u);

        // Yes to both questions: every row missing, all at their defaults and all listed.
        f->dialogs.popups.clear();
        f->dialogs.confirmAnswers = {true, true};
        Choose(Choice::Existing, path);
        QTest::mouseClick(Page().buttonGetArray, Qt::LeftButton);
        QCOMPARE(f->dialogs.CountOf("confirm"), 2);
        QCOMPARE(CellColour(2), 0x0000FFu);
        QVERIFY(f->dialogs.popups.back().text.ends_with("TABLE ATTR OF TEACH VECTOR 30\n"));
    }

    void unreadableOrCancelledChoicesChangeNothing() {
        Page().AssignRowColour(4, 0x444444);
        QTest::mouseClick(Page().buttonSaveArray, Qt::LeftButton); // cancelled
        Choose(Choice::New, dir->filePath(QStringLiteral("New.ini")));
        QTest::mouseClick(Page().buttonGetArray, Qt::LeftButton); // a new name cannot be loaded
        QCOMPARE(f->dialogs.CountOf("message"), 2);
        QVERIFY(f->dialogs.Saw("ATTENTION!", "No file was selected!"));
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("New.ini"))));

        // A file that vanished after the dialog reads as an empty one; a directory is not read.
        for (const QString& path : {dir->path(), dir->filePath(QStringLiteral("gone.ini"))}) {
            Choose(Choice::Existing, path);
            QTest::mouseClick(Page().buttonGetArray, Qt::LeftButton);
        }
        QCOMPARE(f->dialogs.CountOf("confirm"), 1);
        QVERIFY(f->dialogs.Saw("ATTENTION!", dir->path().toStdString() +
                                                 " is a directory, not a regular file: left "
                                                 "untouched.\nNo parameter where read!"));
        QCOMPARE(CellColour(4), 0x444444u);

        Choose(Choice::New, dir->filePath(QStringLiteral("no/such/dir/Attr.ini")));
        QTest::mouseClick(Page().buttonSaveArray, Qt::LeftButton);
        QCOMPARE(f->dialogs.popups.back().title, std::string("ERROR"));
    }

    void resetPaintsRowsZeroFifteenAndThirtyPureRedAndEmptiesTheTexts() {
        for (int i = 0; i < 31; ++i) {
            Page().AssignRowColour(i, 0x00FF00);
            SetCellText(i, QStringLiteral("x"));
        }
        f->dialogs.confirmAnswers = {true};
        QTest::mouseClick(Page().buttonTableAttrReset, Qt::LeftButton);
        QVERIFY(f->dialogs.Saw("ATTENTION!", "Do you really want to reset the table?"));
        for (int row : {0, 15, 30}) {
            QCOMPARE(CellColour(row), 0xFF0000u);
            QCOMPARE(f->state->settings.rowColours[std::size_t(row)], 0xFF0000u);
            for (std::uint32_t colour : ColoursElsewhere(row))
                QCOMPARE(colour, 0xFF0000u);
        }
        QCOMPARE(CellColour(14), 0x800000u);
        QVERIFY(CellText(9).isEmpty());
    }

    void setRowColourAssignsTheSelectedColourToTheSelectedRow() {
        Page().editRow->setValue(12);
        Page().editColorNumericRow->SetColour(0x3C5A78);
        QTest::mouseClick(Page().buttonSetRowColor, Qt::LeftButton);
        QCOMPARE(CellColour(12), 0x3C5A78u);
        QCOMPARE(f->state->settings.rowColours[12], 0x3C5A78u);
        for (std::uint32_t colour : ColoursElsewhere(12))
            QCOMPARE(colour, 0x3C5A78u);
        QCOMPARE(CellColour(11), 0xFF00FFu);
    }

    void rowTableHoldsTheTextInColumnOneAndTheColourInColumnTwo() {
        auto* table = Page().tableRowAttributes;
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("ROW SPECIFICATION"));
        Page().AssignRowColour(4, 0x123456);
        SetCellText(4, QStringLiteral("lid"));
        // Columns and rows as the operator counts them, from 1.
        const TableCell cell = RowColourCell(ColourTable::RowTable, 4);
        QCOMPARE(table->item(cell.row - 1, cell.column - 1)->background().color().rgb() & 0xFFFFFF,
                 0x123456u);
        QCOMPARE(table->item(cell.row - 1, 0)->text(), QStringLiteral("lid"));
    }

    void anEditedRowTextShowsWhatTheFilesKeep() {
        auto* table = Page().tableRowAttributes;
        const int column = TableAttributesPage::kSpecificationColumn;
        const QModelIndex index = table->model()->index(5, column);
        QAbstractItemDelegate* delegate = table->itemDelegateForColumn(column);
        std::unique_ptr<QWidget> editor(
            delegate->createEditor(table->viewport(), QStyleOptionViewItem(), index));
        auto* line = qobject_cast<QLineEdit*>(editor.get());
        QVERIFY(line);
        line->setText(QString(120, QChar(0xFC))); // one byte each in the file
        delegate->setModelData(line, table->model(), index);
        const QString shown = CellText(5);
        QCOMPARE(shown, QString(99, QChar(0xFC)));
        QCOMPARE(Page().CollectRows().rowTexts[5], std::string(99, '\xFC'));
    }

    void everyControlOfThePageAnswersARightClickWithItsHelp() {
        auto page = Page();
        const std::vector<QWidget*> controls = {page.editSetColor,
                                                page.editRow,
                                                page.editColorNumericRow->findChild<QLineEdit*>(),
                                                page.buttonSetRowColor,
                                                page.buttonSaveArray,
                                                page.buttonGetArray,
                                                page.buttonTableAttrReset};
        for (QWidget* control : controls)
            QTest::mouseClick(control, Qt::RightButton);
        QCOMPARE(f->dialogs.CountOf("message"), int(controls.size()));
        for (const auto& popup : f->dialogs.popups)
            QCOMPARE(popup.title, std::string("Info"));
        QVERIFY(f->dialogs.Saw("Info", "Sets the selected color to the selected row."));
        QCOMPARE(f->dialogs.CountOf("file"), 0); // the right click did not save or load
    }

    void theLiveSwatchShowsOnlyInAutomaticMode() {
        f->Window().show();
        auto data = f->Data();
        f->program->ShowChildPanel(ChildPanel::Data);
        QVERIFY(!data.swatch->isVisible());
        QVERIFY(Page().buttonSetRowColor->isEnabled());

        ProgramFixture::Choose(Page().editSetColor, 1);
        QVERIFY(data.swatch->isVisible());
        QVERIFY(!Page().editRow->isEnabled());
        QVERIFY(!Page().editColorNumericRow->isEnabled());
        QVERIFY(!Page().buttonSetRowColor->isEnabled());
        QCOMPARE(Page().Mode(), ColourMode::Automatic);

        ProgramFixture::Choose(Page().editSetColor, 0);
        QVERIFY(!data.swatch->isVisible());
        QVERIFY(Page().editRow->isEnabled());
    }

    // An installed program's folder is read-only: the settings go to the user's folder, which
    // the communication page names, and a file beside the program is what the first start reads.
    void settingsAreSavedAndReadBackWhereTheProgramFolderAllows_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("fileBeside");
        QTest::newRow("writable") << false << false;
        QTest::newRow("read-only") << true << false;
        QTest::newRow("read-only, a file beside") << true << true;
    }
    void settingsAreSavedAndReadBackWhereTheProgramFolderAllows() {
        QFETCH(bool, readOnly);
        QFETCH(bool, fileBeside);
        QTemporaryDir program;
        QTemporaryDir config;
        const QString beside = program.filePath(QStringLiteral("PanelSettings.cfg"));
        if (fileBeside) WriteFile(beside, Crlf(kSavedSettings));
        const auto mode = QFile::permissions(program.path());
        if (readOnly)
            QVERIFY(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                              QFile::ReadOther | QFile::ExeOther));
        const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(program.path(), mode);
            qputenv("XDG_CONFIG_HOME", configHome);
        });
        const QString expected =
            readOnly ? config.filePath(QStringLiteral("chromix3/PanelSettings.cfg")) : beside;
        const QString where =
            readOnly ? QStringLiteral("USER FOLDER: ") : QStringLiteral("BESIDE THE PROGRAM: ");
        for (const QString& idBefore :
             {fileBeside ? QStringLiteral("Line 4 sensor") : QString(), QStringLiteral("saved")}) {
            f = std::make_unique<ProgramFixture>();
            f->program->SetProgramDirectory(program.path());
            f->StartWithoutSensor();
            QCOMPARE(Need<QLineEdit>(f->Window(), "DispSettingsFile")->text(), where + expected);
            auto comm = f->Comm();
            QCOMPARE(comm.editId->text(), idBefore);
            comm.editId->setText(QStringLiteral("saved"));
            f->Window().close();
            QVERIFY(ReadFile(expected).contains("PANEL ID: = \"saved\""));
        }
        if (fileBeside) QVERIFY(ReadFile(beside).contains("Line 4 sensor"));
    }
};

QTEST_MAIN(TestSettingsPanels)
#include "TestSettingsPanels.moc"
