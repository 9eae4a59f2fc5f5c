// SEND and GET with FILE on the real windows of the program: the dialog, the questions, the
// lists of missing keys, and files that cannot be read or written.
#include "app/ProgramFixture.h"
#include "model/ParameterDefaults.h"
#include "model/ParameterFile.h"
#include "params/ParameterPage.h"
#include "params/ParameterPanels.h"

#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace params;
using namespace core;

namespace {

using Choice = OperatorDialogs::FileChoice;

const std::string kNoFile = "No file was selected!";
const std::string kNothingRead = "No parameter where read!";
const std::string kTypeQuestion =
    "Selected file is not a parameter file! \nDo you want to proceed anyway?";
const std::string kVersionQuestion =
    "Selected file and scope version do not match! \nDo you want to proceed anyway?";

// Words 0..6 of every row and the 17 parameters; the reserved words are compared apart.
bool SameSet(const protocol::ParameterImage& a, const protocol::ParameterImage& b) {
    if (a.parameters != b.parameters) return false;
    for (int r = 0; r < protocol::kTeachRows; ++r) {
        for (int w = 0; w < 7; ++w) {
            if (a.table[std::size_t(r)].w[std::size_t(w)] !=
                b.table[std::size_t(r)].w[std::size_t(w)])
                return false;
        }
    }
    return true;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestParameterFileIo : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;
    std::unique_ptr<QTemporaryDir> dir;

    protocol::ParameterImage& Image() { return f->state->params.image; }
    void Choose(Choice choice, const QString& path) {
        f->dialogs.fileAnswers.push_back({choice, path.toStdString()});
    }
    void PressWithFile(QPushButton* button) {
        f->Main().selectMem[2]->click();
        QCOMPARE(f->state->params.memoryTarget, std::uint16_t(kFile));
        button->click();
    }
    void Send() { PressWithFile(f->Main().buttonSend); }
    void Get() { PressWithFile(f->Main().buttonGet); }
    // Shows `image` in the controls and returns what the controls then hold.
    protocol::ParameterImage Show(const protocol::ParameterImage& image) {
        Image() = image;
        f->Parameters().PutParametersToPanel();
        f->Parameters().GetParametersFromPanel();
        return Image();
    }
    // A file like one this program writes, holding a set apart from the defaults, with its
    // identification replaced as given.
    QString ForeignFile(const char* fileType, const char* version) {
        protocol::ParameterImage image = DefaultParameterImage();
        image.parameters[protocol::kPower] = 777;
        const QString path = dir->filePath(QStringLiteral("Foreign.ini"));
        WriteParameterFileTo(path.toStdString(), image);
        QByteArray bytes = ReadBytes(path);
        bytes.replace("\"Parameter File\"", fileType);
        bytes.replace("\"CHROMIX3-Varev V4.2\"", version);
        WriteBytes(path, bytes);
        return path;
    }
    std::vector<std::string> Questions() const {
        std::vector<std::string> asked;
        for (const auto& popup : f->dialogs.popups) {
            if (popup.kind == "confirm") asked.push_back(popup.text);
        }
        return asked;
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        f = std::make_unique<ProgramFixture>();
        f->state->settings.parameterFilePath =
            dir->filePath(QStringLiteral("Parameter.ini")).toStdString();
        f->Parameters().GetParametersFromPanel();
    }
    void cleanup() {
        f.reset();
        dir.reset();
    }

    void sendThenGetReproducesTheSetThroughTheDialogs() {
        protocol::ParameterImage custom = DefaultParameterImage();
        custom.parameters[protocol::kPower] = 650;
        custom.parameters[protocol::kAverage] = 4;
        custom.parameters[protocol::kGain] = 3;
        for (int r = 0; r < protocol::kTeachRows; ++r) {
            auto& row = custom.table[std::size_t(r)].w;
            for (int c = 0; c < 5; ++c)
                row[std::size_t(c)] = std::uint16_t(100 + 3 * r + c);
            row[6] = std::uint16_t(10 + r);
        }
        const protocol::ParameterImage shown = Show(custom);
        QCOMPARE(shown.parameters[protocol::kPower], std::uint16_t(650));
        QCOMPARE(shown.table[30].w[4], std::uint16_t(194));
        QCOMPARE(shown.table[30].w[6], std::uint16_t(40));

        const QString path = dir->filePath(QStringLiteral("sets/Line1.ini"));
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("sets")));
        Choose(Choice::New, path);
        Send();
        QCOMPARE(f->dialogs.lastFileTitle, std::string("Parameter"));
        QCOMPARE(f->dialogs.lastFileDefaultName, std::string("Parameter.ini"));
        QCOMPARE(f->dialogs.lastFileFilter, std::string("*.ini"));
        QCOMPARE(f->dialogs.lastFileStartDirectory,
                 QDir::toNativeSeparators(dir->path()).toStdString());
        QCOMPARE(f->state->settings.parameterFilePath, path.toStdString());
        const QByteArray bytes = ReadBytes(path);
        QVERIFY(bytes.startsWith("[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                                 "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\n\r\n"
                                 "[PARAMETER]\r\nPOWER = 650\r\n"));

        protocol::ParameterImage other = Show(DefaultParameterImage());
        other.table[4].w[7] = 77; // the reserved word is not in the file and must survive
        Image() = other;
        Choose(Choice::Existing, path);
        Get();
        QCOMPARE(f->dialogs.lastFileStartDirectory,
                 QDir::toNativeSeparators(dir->filePath(QStringLiteral("sets"))).toStdString());
        QVERIFY(SameSet(Image(), shown));
        QCOMPARE(Image().table[4].w[7], std::uint16_t(77));
        QCOMPARE(f->ParameterPage().Word(protocol::kPower), std::uint16_t(650));
        f->Parameters().GetParametersFromPanel();
        QVERIFY(SameSet(Image(), shown)); // the controls show the set read
        QCOMPARE(f->dialogs.CountOf("message"), 0);
        QCOMPARE(f->dialogs.CountOf("confirm"), 0);
    }

    void foreignFilesAskAndNoLeavesTheSetUnchanged_data() {
        QTest::addColumn<QByteArray>("fileType");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("read");
        const QByteArray type = "\"Parameter File\"";
        const QByteArray version = "\"CHROMIX3-Varev V4.2\"";
        QTest::newRow("wrong type, no")
            << QByteArray("\"Parameter file\"") << version << QList<bool>{false} << 1 << false;
        QTest::newRow("wrong version, no")
            << type << QByteArray("\"CHROMIX3-Varev V4.1\"") << QList<bool>{false} << 1 << false;
        QTest::newRow("wrong version, yes")
            << type << QByteArray("\"CHROMIX3-Varev V4.1\"") << QList<bool>{true} << 1 << true;
        QTest::newRow("both wrong, yes then no")
            << QByteArray("\"Table Attributes\"") << QByteArray("\"\"") << QList<bool>{true, false}
            << 2 << false;
        QTest::newRow("both wrong, yes twice")
            << QByteArray("\"Table Attributes\"") << QByteArray("\"\"") << QList<bool>{true, true}
            << 2 << true;
    }

    void foreignFilesAskAndNoLeavesTheSetUnchanged() {
        QFETCH(QByteArray, fileType);
        QFETCH(QByteArray, version);
        QFETCH(QList<bool>, answers);
        QFETCH(int, questions);
        QFETCH(bool, read);
        const QString path = ForeignFile(fileType.constData(), version.constData());
        const protocol::ParameterImage before = Image();
        for (bool answer : answers)
            f->dialogs.confirmAnswers.push_back(answer);

        Choose(Choice::Existing, path);
        Get();
        const auto asked = Questions();
        QCOMPARE(int(asked.size()), questions);
        const bool typeAsked = fileType != "\"Parameter File\"";
        QCOMPARE(asked.front(), typeAsked ? kTypeQuestion : kVersionQuestion);
        if (questions == 2) QCOMPARE(asked.back(), kVersionQuestion);
        QCOMPARE(f->dialogs.Saw("ATTENTION!", kNothingRead), !read);
        QCOMPARE(Image().parameters[protocol::kPower], std::uint16_t(read ? 777 : 500));
        QCOMPARE(f->ParameterPage().Word(protocol::kPower), std::uint16_t(read ? 777 : 500));
        if (!read) QVERIFY(SameSet(Image(), before));
    }

    void missingKeysAreListedInWordOrderAndTakeTheirDefaults() {
        const QString path = dir->filePath(QStringLiteral("Gaps.ini"));
        protocol::ParameterImage image = Show(DefaultParameterImage());
        image.parameters[protocol::kExternTeach] = 1;
        image.parameters[protocol::kGain] = 2;
        WriteParameterFileTo(path.toStdString(), image);
        QByteArray bytes = ReadBytes(path);
        bytes.replace("EXTERN TEACH = 1\r\n", "");
        bytes.replace("GAIN = 2\r\n", "GAIN = abc\r\n");
        const int row5 = bytes.indexOf("[TEACH VECTOR 5]");
        bytes.replace(bytes.indexOf("HOLD = 10\r\n", row5), 11, "");
        WriteBytes(path, bytes);
        Image().parameters[protocol::kGain] = 7;

        Choose(Choice::Existing, path);
        Get();
        QVERIFY(f->dialogs.Saw("Attention!", "Following parameter could not be read \nand where "
                                             "set to default value:\n\nEXTEACH\nGAIN\n"));
        QVERIFY(f->dialogs.Saw("Attention!", "Following teach vectors could not be read \nand "
                                             "where set to default value:\n\nTEACH VECTOR 5\n"));
        QCOMPARE(Image().parameters[protocol::kExternTeach], std::uint16_t(0));
        QCOMPARE(Image().parameters[protocol::kGain], std::uint16_t(5));
        QCOMPARE(Image().table[5].w[6], std::uint16_t(10));
    }

    void aCancelledDialogChangesNothing() {
        Image() = Show(DefaultParameterImage());
        const protocol::ParameterImage before = Image();
        const std::string remembered = f->state->settings.parameterFilePath;
        Send();                                                          // cancelled
        Get();                                                           // cancelled
        Choose(Choice::New, dir->filePath(QStringLiteral("Fresh.ini"))); // nothing to read
        Get();
        QCOMPARE(f->dialogs.CountOf("message"), 3);
        for (const auto& popup : f->dialogs.popups) {
            if (popup.kind == "message") {
                QCOMPARE(popup.title, std::string("ATTENTION!"));
                QCOMPARE(popup.text, kNoFile);
            }
        }
        QVERIFY(SameSet(Image(), before));
        QCOMPARE(f->state->settings.parameterFilePath, remembered);
        QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
    }

    void unreadableFilesAskAndNeverCrash_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QByteArray garbage(1 << 20, '\0');
        std::mt19937 random(7);
        for (auto& byte : garbage)
            byte = char(random());
        QTest::newRow("vanished") << QStringLiteral("gone.ini") << QByteArray();
        QTest::newRow("binary garbage") << QStringLiteral("garbage.ini") << garbage;
        QTest::newRow("ten megabyte line")
            << QStringLiteral("long.ini") << QByteArray(10 << 20, 'P');
    }

    void unreadableFilesAskAndNeverCrash() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = dir->filePath(name);
        if (!content.isEmpty()) WriteBytes(path, content);
        Image() = Show(DefaultParameterImage());
        Image().parameters[protocol::kPower] = 900;
        f->Parameters().PutParametersToPanel();
        f->dialogs.lossAnswers = {true, true}; // the POWER shown gives way to the file

        // First declined, then taken: a file without keys gives every default and both lists.
        Choose(Choice::Existing, path);
        Get();
        QCOMPARE(Questions(), std::vector<std::string>{kTypeQuestion});
        QVERIFY(f->dialogs.Saw("ATTENTION!", kNothingRead));
        QCOMPARE(Image().parameters[protocol::kPower], std::uint16_t(900));

        f->dialogs.confirmAnswers = {true, true};
        Choose(Choice::Existing, path);
        Get();
        QCOMPARE(Image().parameters[protocol::kPower], std::uint16_t(500));
        QCOMPARE(f->dialogs.popups.back().title, std::string("Attention!"));
        QVERIFY(f->dialogs.popups.back().text.ends_with("TEACH VECTOR 30\n"));
    }

    // Chosen in the dialog, a fifo is neither read (no questions) nor replaced, and it is said.
    void aFifoIsRefusedWithItsPath() {
        const QString path = dir->filePath(QStringLiteral("fifo"));
        const QByteArray name = QFile::encodeName(path);
        QCOMPARE(::mkfifo(name, 0644), 0);
        const std::string refusal =
            path.toStdString() + " is a fifo, not a regular file: left untouched.";
        Choose(Choice::Existing, path);
        Get();
        QVERIFY(f->dialogs.Saw("ATTENTION!", refusal + "\n" + kNothingRead));
        QVERIFY(Questions().empty());
        const int reader = ::open(name, O_RDONLY | O_NONBLOCK); // nothing may wait on the fifo
        Choose(Choice::New, path);
        Send();
        ::close(reader);
        QVERIFY(f->dialogs.Saw("ERROR", "The file could not be written!\n" + refusal));
        struct stat after {};
        QVERIFY(::lstat(name, &after) == 0 && S_ISFIFO(after.st_mode));
    }

    void anUnwritableTargetIsReportedAndNothingIsLeftBehind() {
        for (const QString& path :
             {dir->filePath(QStringLiteral("no/such/dir/P.ini")), dir->path()}) {
            Choose(Choice::New, path);
            Send();
            QCOMPARE(f->dialogs.popups.back().kind, std::string("message"));
            QCOMPARE(f->dialogs.popups.back().title, std::string("ERROR"));
        }
        QVERIFY(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    // A file named on the command line is in the panel once the start-up has connected, read
    // as GET from FILE reads one without a dialog, and not yet in the sensor.
    void aFileNamedAtTheStartIsInThePanelUnsent() {
        protocol::ParameterImage image = DefaultParameterImage();
        image.parameters[protocol::kPower] = 650;
        const QString path = dir->filePath(QStringLiteral("Line4.ini"));
        QVERIFY(WriteParameterFileTo(path.toStdString(), image) >= 0);
        f->program->OpenParameterFileAtStart(path);
        f->StartWithoutSensor();
        f->Parameters().GetParametersFromPanel();
        QCOMPARE(Image().parameters[protocol::kPower], std::uint16_t(650));
        QCOMPARE(f->state->settings.parameterFilePath, path.toStdString());
        QVERIFY(f->program->Params().ShowUnsent());
        QVERIFY(!f->dialogs.Saw("ATTENTION!", kNothingRead));
    }
};

QTEST_MAIN(TestParameterFileIo)
#include "TestParameterFileIo.moc"
