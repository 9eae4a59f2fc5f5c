// The record file's bytes and the record time, as plain functions.
#include "model/RecordFile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace recorder;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

protocol::MeasurementFrame ExampleFrame() {
    protocol::MeasurementFrame frame;
    const std::uint16_t words[11] = {812, 640, 377, 310, 295, 609, std::uint16_t(-3), 2, 1, 0, 31};
    for (int i = 0; i < 11; ++i)
        frame.w[std::size_t(i)] = words[i];
    frame.w[15] = 4444; // beyond the recorded words: not written
    return frame;
}

} // namespace

class TestRecordFile : public QObject {
    Q_OBJECT

private slots:
    void theExampleFileIsWrittenByteForByte() {
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("RecordFile.dat")).toStdString();
        QCOMPARE(AppendToRecordFile(path, RecordFileHeader("LINE 4")), WriteResult::Written);
        QCOMPARE(AppendToRecordFile(path, RecordRow(ExampleFrame(), {2024, 3, 2, 12, 0, 5})),
                 WriteResult::Written);
        QCOMPARE(
            Slurp(path),
            std::string("\nRECORD RESULTS OF: CHROMIX3-Varev V4.2\r\n"
                        "PANEL ID: LINE 4\r\n"
                        "\r\n"
                        "DATE\tTIME\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\tGROUP\t"
                        "TRIGGER\tTEMP\r\n"
                        "03-02-2024\t12:00:05\t812\t640\t377\t310\t295\t609\t-3\t2\t1\t0\t31\r\n"));
    }

    void withoutAnIdentificationThereIsNoPanelIdLine() {
        QCOMPARE(
            RecordFileHeader(""),
            std::string("\nRECORD RESULTS OF: CHROMIX3-Varev V4.2\r\n\r\n"
                        "DATE\tTIME\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\tGROUP\t"
                        "TRIGGER\tTEMP\r\n"));
    }

    void wordsAreUnsignedExceptDeltaC() {
        protocol::MeasurementFrame frame;
        frame.w.fill(65535);
        frame.w[protocol::MeasurementFrame::kDeltaC] = 32767;
        const std::string row = RecordRow(frame, {2031, 12, 31, 23, 59, 9});
        QCOMPARE(row, std::string("12-31-2031\t23:59:09\t65535\t65535\t65535\t65535\t65535\t65535"
                                  "\t32767\t65535\t65535\t65535\t65535\r\n"));
        frame.w[protocol::MeasurementFrame::kDeltaC] = 0x8000;
        QVERIFY(RecordRow(frame, {}).find("\t-32768\t") != std::string::npos);
    }

    void aFileThatCannotBeWrittenIsSaidSoAndOthersAreLeftAlone() {
        QTemporaryDir dir;
        // A directory, a missing folder: nothing written, nothing created.
        QCOMPARE(AppendToRecordFile(dir.path().toStdString(), "x"), WriteResult::NotWritten);
        const std::string missing = dir.filePath(QStringLiteral("no/such/file.dat")).toStdString();
        QCOMPARE(AppendToRecordFile(missing, "x"), WriteResult::NotWritten);
        // A fifo is no record file, even with a reader at its other end.
        const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo.dat")));
        QCOMPARE(::mkfifo(fifo.constData(), 0644), 0);
        const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
        QCOMPARE(AppendToRecordFile(fifo.toStdString(), "x"), WriteResult::NotWritten);
        ::close(reader);
        if (geteuid() != 0) {
            const QString locked = dir.filePath(QStringLiteral("locked.dat"));
            QCOMPARE(AppendToRecordFile(locked.toStdString(), "old"), WriteResult::Written);
            QFile::setPermissions(locked, QFileDevice::ReadOwner);
            QCOMPARE(AppendToRecordFile(locked.toStdString(), "new"), WriteResult::NotWritten);
            QCOMPARE(Slurp(locked.toStdString()), std::string("old"));
        }
        // Replacing starts the file anew; appending keeps what is there.
        const std::string path = dir.filePath(QStringLiteral("r.dat")).toStdString();
        AppendToRecordFile(path, "old rows");
        QCOMPARE(ReplaceRecordFile(path, "header"), WriteResult::Written);
        AppendToRecordFile(path, "+row");
        QCOMPARE(Slurp(path), std::string("header+row"));
    }

    // A file size limit stands in for a full disk: a write that crosses it comes out short.
    void aRowTheDiskCutsShortIsTakenBackAndTheNextRowIsWhole() {
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("full.dat")).toStdString();
        const std::string header = RecordFileHeader("");
        const std::string row = RecordRow(ExampleFrame(), {2026, 7, 12, 12, 7, 0});
        QCOMPARE(AppendToRecordFile(path, header), WriteResult::Written);
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit free = limit;
        limit.rlim_cur = header.size() + row.size() / 2;
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const WriteResult crossing = AppendToRecordFile(path, row);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &free), 0); // space freed again
        QCOMPARE(crossing, WriteResult::NotWritten);
        QCOMPARE(Slurp(path), header);
        QCOMPARE(AppendToRecordFile(path, row), WriteResult::Written);
        QCOMPARE(Slurp(path), header + row);
    }

    void theRecordTimeSplitsIntoDaysHoursMinutesSeconds_data() {
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("usedInterval");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("hours");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<double>("seconds");
        QTest::newRow("0.25 x 1000") << 0.25 << 1000 << 0.25 << 0 << 0 << 4 << 10.0;
        QTest::newRow("2.5 x 65535") << 2.5 << 65535 << 2.5 << 1 << 21 << 30 << 37.5;
        QTest::newRow("0.1 raised") << 0.1 << 4 << 0.25 << 0 << 0 << 0 << 1.0;
        QTest::newRow("one day exactly") << 86.4 << 1000 << 86.4 << 1 << 0 << 0 << 0.0;
    }
    void theRecordTimeSplitsIntoDaysHoursMinutesSeconds() {
        QFETCH(double, interval);
        QFETCH(int, count);
        const RecordTime time = ComputeRecordTime(interval, std::uint16_t(count));
        QTEST(time.interval, "usedInterval");
        QTEST(int(time.days), "days");
        QTEST(int(time.hours), "hours");
        QTEST(int(time.minutes), "minutes");
        QFETCH(double, seconds);
        QVERIFY(std::abs(time.seconds - seconds) < 1e-6);
    }
};

QTEST_MAIN(TestRecordFile)
#include "TestRecordFile.moc"
