#include "settings/TableAttributes.h"

#include <QtTest>
#include <string>

using namespace settings;

namespace {

using namespace table_attributes;

constexpr std::uint32_t Rgb(int red, int green, int blue) {
    return std::uint32_t(red) << 16 | std::uint32_t(green) << 8 | std::uint32_t(blue);
}

RowAttributes Distinct() {
    RowAttributes rows;
    for (int i = 0; i < kRowCount; ++i) {
        rows.colours[std::size_t(i)] = std::uint32_t(0x0F1E2D * (i + 3)) & 0xFFFFFF;
        rows.rowTexts[std::size_t(i)] = "product " + std::to_string(i);
    }
    rows.colours[0] = 0x000000;
    rows.colours[1] = 0xFFFFFF;
    rows.rowTexts[2] = "quote \" backslash \\ tab\t line\r\nend";
    rows.rowTexts[3] = std::string(99, 'x');
    rows.rowTexts[4].clear();
    return rows;
}

// Answers every question with `answer` and keeps the questions asked.
struct Asker {
    bool answer = true;
    QStringList asked;
    std::function<bool(std::string_view)> Function() {
        return [this](std::string_view question) {
            asked << QString::fromUtf8(question.data(), qsizetype(question.size()));
            return answer;
        };
    }
};

std::string AllMissingReport() {
    std::string report = kReportHeading;
    for (int i = 0; i < kRowCount; ++i)
        report += "TABLE ATTR OF TEACH VECTOR " + std::to_string(i) + "\n";
    return report;
}

} // namespace

class TestTableAttributes : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }

    std::string WriteFile(const char* name, const std::string& text) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(text.data(), qint64(text.size()));
        return file.fileName().toStdString();
    }

    // The saved text of `rows` with one line replaced.
    static std::string Edited(const RowAttributes& rows, const std::string& from,
                              const std::string& to) {
        std::string text = TableAttributesText(rows);
        const auto at = text.find(from);
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void defaultColoursRepeatACycleOfFifteen_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<uint>("colour");
        QTest::newRow("row 0") << 0 << uint(Rgb(255, 0, 0));
        QTest::newRow("row 1") << 1 << uint(Rgb(128, 255, 0));
        QTest::newRow("row 4") << 4 << uint(Rgb(255, 128, 192));
        QTest::newRow("row 7") << 7 << uint(Rgb(128, 0, 128));
        QTest::newRow("row 13") << 13 << uint(Rgb(64, 128, 128));
        QTest::newRow("row 14") << 14 << uint(Rgb(128, 0, 0));
        QTest::newRow("row 15") << 15 << uint(Rgb(255, 0, 0));
        QTest::newRow("row 25") << 25 << uint(Rgb(64, 0, 128));
        QTest::newRow("row 30") << 30 << uint(Rgb(255, 0, 0));
    }
    void defaultColoursRepeatACycleOfFifteen() {
        QFETCH(int, row);
        QFETCH(uint, colour);
        QCOMPARE(uint(DefaultRowColourTable()[std::size_t(row)]), colour);
    }

    void resetGivesRowsZeroFifteenAndThirtyPureRed() {
        RowAttributes rows = Distinct();
        rows = DefaultRowAttributes();
        for (int row : {0, 15, 30})
            QCOMPARE(rows.colours[std::size_t(row)], 0xFF0000u);
        for (const std::string& text : rows.rowTexts)
            QVERIFY(text.empty());
    }

    void saveThenLoadRestoresEverythingWithoutReport() {
        const std::string path = Path("TableAttributes.ini");
        const RowAttributes saved = Distinct();
        QCOMPARE(SaveTableAttributesFile(path, saved), int(kIniOk));
        RowAttributes loaded = DefaultRowAttributes();
        Asker asker;
        const TableAttributesLoad load = LoadTableAttributes(path, loaded, asker.Function());
        QVERIFY(load.loaded);
        QCOMPARE(load.report, std::string());
        QVERIFY(asker.asked.isEmpty());
        QVERIFY(loaded.colours == saved.colours);
        QVERIFY(loaded.rowTexts == saved.rowTexts);
    }

    void savedFileBeginsWithItsIdentification() {
        const std::string text = TableAttributesText(DefaultRowAttributes());
        const std::string head = "[GENERAL INFO]\r\n"
                                 "FILE TYPE: = \"Table Attributes\"\r\n"
                                 "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\n\r\n"
                                 "[TABLE ATTR OF TEACH VECTOR 0]\r\n"
                                 "Row color = 16711680\r\n"
                                 "Row specification = \"\"\r\n\r\n"
                                 "[TABLE ATTR OF TEACH VECTOR 1]\r\n";
        QCOMPARE(text.substr(0, head.size()), head);
        QCOMPARE(TableAttributesText(DefaultRowAttributes()), text);
    }

    void missingColourTakesItsDefaultAndIsReported_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        const QString section = "[TABLE ATTR OF TEACH VECTOR 7]\r\n";
        const QString colour = section + "Row color = " + QString::number(0x0F1E2D * 10);
        QTest::newRow("section missing") << section << "[SOMETHING ELSE]\r\n";
        QTest::newRow("colour key missing") << colour << section + "Row colour = 5";
        QTest::newRow("colour no number") << colour << section + "Row color = purple";
        QTest::newRow("colour negative") << colour << section + "Row color = -1";
        QTest::newRow("colour beyond 24 bits") << colour << section + "Row color = 16777216";
    }
    void missingColourTakesItsDefaultAndIsReported() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        const RowAttributes saved = Distinct();
        const std::string text = Edited(saved, from.toStdString(), to.toStdString());
        QVERIFY(text != TableAttributesText(saved));
        RowAttributes loaded;
        Asker asker;
        const auto load =
            LoadTableAttributes(WriteFile("seven.ini", text), loaded, asker.Function());
        QVERIFY(load.loaded);
        QCOMPARE(load.report, std::string(kReportHeading) + "TABLE ATTR OF TEACH VECTOR 7\n");
        QCOMPARE(loaded.colours[7], Rgb(128, 0, 128));
        QCOMPARE(loaded.colours[8], saved.colours[8]);
    }

    void missingSpecificationIsEmptyAndNotReported() {
        const std::string text = Edited(Distinct(), "Row specification = \"product 9\"", "");
        RowAttributes loaded = Distinct();
        Asker asker;
        const auto load =
            LoadTableAttributes(WriteFile("texts.ini", text), loaded, asker.Function());
        QCOMPARE(load.report, std::string());
        QCOMPARE(loaded.rowTexts[9], std::string());
    }

    void longSpecificationIsCutToNinetyNine() {
        RowAttributes saved = Distinct();
        saved.rowTexts[5] = std::string(150, 'y');
        RowAttributes loaded;
        IniStore store;
        PutRowAttributes(store, saved);
        QVERIFY(ReadRowAttributes(store, loaded).empty());
        QCOMPARE(loaded.rowTexts[5], std::string(99, 'y'));
    }

    void foreignFileAsksBeforeLoading_data() {
        QTest::addColumn<QString>("fileType");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<bool>("loaded");
        const QString type = kNotATableAttributesFileQuestion;
        const QString version = kScopeVersionQuestion;
        QTest::newRow("type differs, yes")
            << "Parameter File" << kScopeVersion << true << QStringList{type} << true;
        QTest::newRow("type differs, no")
            << "table attributes" << kScopeVersion << false << QStringList{type} << false;
        QTest::newRow("version differs, yes")
            << kFileType << "CHROMIX3 V4.1" << true << QStringList{version} << true;
        QTest::newRow("both differ, yes twice")
            << "Other"
            << "V1" << true << QStringList{type, version} << true;
        QTest::newRow("both differ, no stops at the first")
            << "Other"
            << "V1" << false << QStringList{type} << false;
    }
    void foreignFileAsksBeforeLoading() {
        QFETCH(QString, fileType);
        QFETCH(QString, version);
        QFETCH(bool, answer);
        QFETCH(QStringList, questions);
        QFETCH(bool, loaded);
        std::string text =
            Edited(Distinct(), "\"Table Attributes\"", "\"" + fileType.toStdString() + "\"");
        const auto at = text.find(kScopeVersion);
        text.replace(at, std::string(kScopeVersion).size(), version.toStdString());
        RowAttributes rows = DefaultRowAttributes();
        Asker asker{answer, {}};
        const auto load =
            LoadTableAttributes(WriteFile("foreign.ini", text), rows, asker.Function());
        QCOMPARE(asker.asked, questions);
        QCOMPARE(load.loaded, loaded);
        QVERIFY((rows.colours == Distinct().colours) == loaded);
        QVERIFY(load.report.empty());
    }

    void unreadableFileAsksAndThenListsEveryRow_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("vanished file") << "vanished";
        QTest::newRow("garbage") << "garbage";
    }
    void unreadableFileAsksAndThenListsEveryRow() {
        QFETCH(QString, kind);
        std::string path = Path("vanished.ini");
        if (kind == "garbage") {
            std::string bytes;
            for (int i = 0; i < 4000; ++i)
                bytes += char((i * 131 + i / 7) % 256);
            path = WriteFile("garbage.ini", bytes);
        }
        RowAttributes rows = Distinct();
        Asker asker;
        const auto load = LoadTableAttributes(path, rows, asker.Function());
        QCOMPARE(asker.asked.size(), 2);
        QVERIFY(load.loaded);
        QCOMPARE(load.report, AllMissingReport());
        QVERIFY(rows.colours == DefaultRowColourTable());
        for (const std::string& text : rows.rowTexts)
            QVERIFY(text.empty());
    }

    void aDirectoryIsRefusedWithoutAQuestion() {
        QVERIFY(QDir(dir.path()).mkpath("folder.ini"));
        RowAttributes rows = Distinct();
        Asker asker;
        const auto load = LoadTableAttributes(Path("folder.ini"), rows, asker.Function());
        QVERIFY(asker.asked.empty() && !load.loaded);
        QCOMPARE(load.refusal,
                 Path("folder.ini") + " is a directory, not a regular file: left untouched.");
        QVERIFY(rows.colours == Distinct().colours);
    }

    void unwritableTargetFailsWithoutHarm() {
        QVERIFY(QDir(dir.path()).mkpath("taken.ini"));
        QVERIFY(SaveTableAttributesFile(Path("taken.ini"), Distinct()) < 0);
        QVERIFY(QFileInfo(dir.filePath("taken.ini")).isDir());
        QVERIFY(SaveTableAttributesFile(Path("missing/TableAttributes.ini"), Distinct()) < 0);
    }

    void setRowColourKeepsTwentyFourBitsAndRefusesOtherRows() {
        RowAttributes rows = DefaultRowAttributes();
        QVERIFY(SetRowColour(rows, 30, 0xFF123456));
        QCOMPARE(rows.colours[30], 0x123456u);
        QVERIFY(!SetRowColour(rows, 31, 0x1));
        QVERIFY(!SetRowColour(rows, -1, 0x1));
        QVERIFY(rows.colours == [] {
            RowColourTable expected = DefaultRowColourTable();
            expected[30] = 0x123456;
            return expected;
        }());
    }

    void holdTableShowsEachRowOneLower_data() {
        QTest::addColumn<ColourTable>("table");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("rowOfVectorZero");
        QTest::newRow("teach") << ColourTable::Teach << 6 << 1;
        QTest::newRow("row table") << ColourTable::RowTable << 2 << 1;
        QTest::newRow("group") << ColourTable::Group << 2 << 1;
        QTest::newRow("hold") << ColourTable::Hold << 2 << 2;
    }
    void holdTableShowsEachRowOneLower() {
        QFETCH(ColourTable, table);
        QFETCH(int, column);
        QFETCH(int, rowOfVectorZero);
        const RowColourTable colours = Distinct().colours;
        for (int i = 0; i < kRowCount; ++i) {
            const TableCell cell = RowColourCell(table, i);
            QCOMPARE(cell.column, column);
            QCOMPARE(cell.row, rowOfVectorZero + i);
            QCOMPARE(RowColourOfTableRow(colours, table, cell.row).value(),
                     colours[std::size_t(i)]);
        }
        QVERIFY(!RowColourOfTableRow(colours, table, rowOfVectorZero - 1));
        QVERIFY(!RowColourOfTableRow(colours, table, rowOfVectorZero + kRowCount));
    }

    void automaticModeDimsManualControlsAndTeachesTheLiveColour() {
        const ColourModeControls manual = ControlsForColourMode(ColourMode::Manual);
        QVERIFY(manual.rowSelectorEnabled && manual.colourSelectorEnabled);
        QVERIFY(manual.setColourButtonEnabled && !manual.liveSwatchVisible);
        const ColourModeControls automatic = ControlsForColourMode(ColourMode::Automatic);
        QVERIFY(!automatic.rowSelectorEnabled && !automatic.colourSelectorEnabled);
        QVERIFY(!automatic.setColourButtonEnabled && automatic.liveSwatchVisible);
        QCOMPARE(RowColourAfterTeach(ColourMode::Manual, 0x112233, 0x445566), 0x112233u);
        QCOMPARE(RowColourAfterTeach(ColourMode::Automatic, 0x112233, 0x445566), 0x445566u);
    }
};

QTEST_GUILESS_MAIN(TestTableAttributes)
#include "TestTableAttributes.moc"
