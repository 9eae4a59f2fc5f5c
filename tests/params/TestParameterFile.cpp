#include "model/ParameterDefaults.h"
#include "model/ParameterFile.h"

#include <QtTest>
#include <string>

using namespace params;
using namespace settings;

using namespace parameter_file;

namespace {

// Every word different, so a key read into the wrong word shows.
protocol::ParameterImage NumberedImage() {
    protocol::ParameterImage image;
    for (int i = 0; i < protocol::kParameterCount; ++i)
        image.parameters[i] = std::uint16_t(1000 + i);
    for (int r = 0; r < protocol::kTeachRows; ++r) {
        for (int w = 0; w < protocol::kTeachVectorWords; ++w)
            image.table[r].w[w] = std::uint16_t(r * 8 + w);
    }
    image.parameters[protocol::kPower] = 65535;
    return image;
}

IniStore Parse(const std::string& text) {
    IniStore store;
    store.ReadFromText(text);
    return store;
}

std::string FullParameterSection() {
    IniStore store;
    PutParameterSection(store, DefaultParameterImage());
    return store.WriteToText();
}

std::string Without(std::string text, const std::string& line) {
    const auto at = text.find(line);
    if (at != std::string::npos) text.erase(at, line.size());
    return text;
}

} // namespace

class TestParameterFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void writtenFileStartsWithIdentificationThenParameters() {
        const std::string path = dir.filePath("Parameter.ini").toStdString();
        QCOMPARE(WriteParameterFileTo(path, DefaultParameterImage()), int(kIniOk));
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                                "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\n\r\n"
                                "[PARAMETER]\r\nPOWER = 500\r\nPOWER MODE = 0\r\n"));
        QVERIFY(text.contains("INTEGRAL = 1\r\n\r\n[TEACH VECTOR 0]\r\nCELL 0 = 1\r\n"));
        QVERIFY(text.contains("CELL 4 = 1\r\nGROUP = 0\r\nHOLD = 10\r\n\r\n[TEACH VECTOR 1]\r\n"));
        QVERIFY(text.endsWith("[TEACH VECTOR 30]\r\nCELL 0 = 1\r\nCELL 1 = 1\r\nCELL 2 = 1\r\n"
                              "CELL 3 = 1\r\nCELL 4 = 1\r\nGROUP = 0\r\nHOLD = 10\r\n\r\n"));
    }

    void writeThenReadReproducesTheImageAndKeepsReservedWords() {
        const std::string path = dir.filePath("round.ini").toStdString();
        const protocol::ParameterImage written = NumberedImage();
        QCOMPARE(WriteParameterFileTo(path, written), int(kIniOk));

        ParameterFileContents contents = ReadParameterFileFrom(path);
        QCOMPARE(contents.readResult, int(kIniOk));
        QVERIFY(contents.TypeMatches());
        QVERIFY(contents.VersionMatches());
        protocol::ParameterImage read;
        for (auto& row : read.table)
            row.w[7] = 4242;
        QCOMPARE(GetParameterSection(contents.store, read), std::string());
        QCOMPARE(GetTeachVectorSections(contents.store, read), std::string());
        QVERIFY(read.parameters == written.parameters);
        for (int r = 0; r < protocol::kTeachRows; ++r) {
            for (int w = 0; w < 7; ++w)
                QCOMPARE(read.table[r].w[w], written.table[r].w[w]);
            QCOMPARE(read.table[r].w[7], std::uint16_t(4242));
        }
    }

    void missingParameterKeysTakeDefaultsAndAreListedInWordOrder() {
        std::string text = Without(FullParameterSection(), "GAIN = 5\r\n");
        text = Without(text, "EXTERN TEACH = 0\r\n");
        protocol::ParameterImage image = NumberedImage();
        QCOMPARE(GetParameterSection(Parse(text), image),
                 std::string("Following parameter could not be read \nand where set to default "
                             "value:\n\nEXTEACH\nGAIN\n"));
        QCOMPARE(image.parameters[protocol::kExternTeach], std::uint16_t(0));
        QCOMPARE(image.parameters[protocol::kGain], std::uint16_t(5));
        QCOMPARE(image.parameters[protocol::kPower], std::uint16_t(500));
    }

    void parameterValuesAreTakenAsLowSixteenBits_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("listed");
        QTest::newRow("70000") << "POWER = 70000" << 4464 << false;
        QTest::newRow("minus one") << "POWER = -1" << 65535 << false;
        QTest::newRow("quoted") << "POWER = \"300\"" << 300 << false;
        QTest::newRow("abc is missing") << "POWER = abc" << 500 << true;
        QTest::newRow("empty is missing") << "POWER =" << 500 << true;
        QTest::newRow("lower-case names") << "  power   = 7 " << 7 << false;
    }
    void parameterValuesAreTakenAsLowSixteenBits() {
        QFETCH(QString, line);
        QFETCH(int, expected);
        QFETCH(bool, listed);
        std::string text = Without(FullParameterSection(), "POWER = 500\r\n");
        text.replace(text.find("[PARAMETER]"), 11, "[ parameter ]\n" + line.toStdString());
        protocol::ParameterImage image;
        const std::string list = GetParameterSection(Parse(text), image);
        QCOMPARE(int(image.parameters[protocol::kPower]), expected);
        QCOMPARE(list.find("\n\nPOWER\n") != std::string::npos, listed);
        QCOMPARE(list.empty(), !listed);
    }

    void teachSectionLackingOnlyHoldIsListedOnce() {
        IniStore store;
        PutTeachVectorSections(store, NumberedImage());
        // Row 3 holds HOLD = 3 * 8 + 6.
        const IniStore partial = Parse(Without(store.WriteToText(), "HOLD = 30\r\n"));
        protocol::ParameterImage image;
        QCOMPARE(GetTeachVectorSections(partial, image),
                 std::string("Following teach vectors could not be read \nand where set to "
                             "default value:\n\nTEACH VECTOR 3\n"));
        QCOMPARE(image.table[3].w[6], std::uint16_t(10));
        QCOMPARE(image.table[3].w[5], std::uint16_t(29));
        QCOMPARE(image.table[3].w[4], std::uint16_t(28));
        QCOMPARE(image.table[4].w[6], std::uint16_t(38));
    }

    void fileWithoutTeachSectionsListsAllRowsAndGivesDefaultRows() {
        protocol::ParameterImage image = NumberedImage();
        const std::string list = GetTeachVectorSections(Parse(FullParameterSection()), image);
        std::string expected =
            "Following teach vectors could not be read \nand where set to default value:\n\n";
        for (int r = 0; r < protocol::kTeachRows; ++r)
            expected += "TEACH VECTOR " + std::to_string(r) + "\n";
        QCOMPARE(list, expected);
        for (int r = 0; r < protocol::kTeachRows; ++r) {
            const std::array<std::uint16_t, 7> row = {1, 1, 1, 1, 1, 0, 10};
            for (int w = 0; w < 7; ++w)
                QCOMPARE(image.table[r].w[w], row[w]);
            QCOMPARE(image.table[r].w[7], std::uint16_t(r * 8 + 7));
        }
    }

    void identificationIsReportedAsFound_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("version");
        QTest::newRow("no general info") << QByteArray("[PARAMETER]\nPOWER = 1\n") << ""
                                         << "";
        QTest::newRow("other version")
            << QByteArray("[GENERAL INFO]\nFILE TYPE: = \"Parameter File\"\n"
                          "SCOPE VERSION: = \"CHROMIX3-Varev V4.1\"\n")
            << "Parameter File"
            << "CHROMIX3-Varev V4.1";
        QTest::newRow("type differs in case")
            << QByteArray("[general info]\nfile type: = parameter file\n") << "parameter file"
            << "";
    }
    void identificationIsReportedAsFound() {
        QFETCH(QByteArray, content);
        QFETCH(QString, type);
        QFETCH(QString, version);
        QFile file(dir.filePath("id.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        const ParameterFileContents contents =
            ReadParameterFileFrom(dir.filePath("id.ini").toStdString());
        QCOMPARE(QString::fromStdString(contents.fileType), type);
        QCOMPARE(QString::fromStdString(contents.scopeVersion), version);
        QCOMPARE(contents.TypeMatches(), type == "Parameter File");
        QCOMPARE(contents.VersionMatches(), false);
    }

    void unreadableFileGivesAnEmptyStoreAndEveryKeyMissing() {
        const ParameterFileContents contents =
            ReadParameterFileFrom(dir.filePath("absent.ini").toStdString());
        QVERIFY(contents.readResult < 0);
        QVERIFY(contents.fileType.empty());
        QVERIFY(!contents.TypeMatches());
        protocol::ParameterImage image = NumberedImage();
        const std::string list = GetParameterSection(contents.store, image);
        QVERIFY(
            list.ends_with("\n\nPOWER\nPOWER MODE\nAVERAGE\nEVALUATION MODE\nHOLD FAIL\nINTLIM\n"
                           "MAX VEC NO\nDIGITAL OUTMODE\nTRIGGER\nEXTEACH\nCALCULATION MODE\n"
                           "DYNWIN LO\nDYNWIN HI\nCOLOR GROUP\nLED MODE\nGAIN\nINTEGRAL\n"));
        QVERIFY(image.parameters == kDefaultParameters);
    }
};

QTEST_GUILESS_MAIN(TestParameterFile)
#include "TestParameterFile.moc"
