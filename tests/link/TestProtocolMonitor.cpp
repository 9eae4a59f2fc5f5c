// The protocol monitor's ring and the line it shows for each frame.
#include "link/ProtocolMonitor.h"
#include "protocol/CheckByte.h"
#include "protocol/FrameCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <QtTest>
#include <sys/stat.h>

using namespace comm;

Q_DECLARE_METATYPE(comm::FrameDirection)

namespace {

QByteArray Bytes(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

FrameRecord RecordOf(FrameDirection direction, const QByteArray& bytes, const QString& failure) {
    FrameRecord record;
    record.Take(direction, reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                std::size_t(bytes.size()), failure.toStdString());
    return record;
}

} // namespace

class TestProtocolMonitor : public QObject {
    Q_OBJECT
private slots:
    void linesDecodeEachFrame_data() {
        QTest::addColumn<FrameDirection>("direction");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("failed");

        const QByteArray request =
            Bytes(protocol::frame::EncodeFrameBytes(3, 0x0102, {1, 2, 3, 4}));
        const QByteArray reply = Bytes(protocol::frame::EncodeFrameWords(0, 0, {0x1234}));
        QByteArray badHead = reply;
        badHead[7] = char(badHead[7] ^ 0x01);
        QByteArray badData = reply;
        badData[8] = char(badData[8] ^ 0x01);
        QByteArray oversized = Bytes(protocol::frame::EncodeFrameBytes(0, 0, {}));
        oversized[4] = char(3000 & 0xFF);
        oversized[5] = char(3000 >> 8);
        oversized[7] = char(protocol::ComputeCheckByte(
            reinterpret_cast<const std::uint8_t*>(oversized.data()), 0, 7));

        QTest::newRow("valid request")
            << FrameDirection::Request << request << QString()
            << "  00:00:00.000 -> 55 03 02 01 04 00 46 56 01 02 03 04 | order 3 arg 0x0102 len 4 "
               "head ok data ok"
            << false;
        QTest::newRow("valid reply") << FrameDirection::Reply << reply << QString()
                                     << "  00:00:00.000 <- 55 00 00 00 02 00 3E E8 34 12 | reply 0 "
                                        "status 0x0000 len 2 head ok "
                                        "data ok"
                                     << false;
        QTest::newRow("wrong head check byte")
            << FrameDirection::Reply << badHead << QString("Header error\n\n")
            << "reply 0 status 0x0000 len 2 head WRONG data ok | Header error" << true;
        QTest::newRow("wrong data check byte")
            << FrameDirection::Reply << badData << QString("Data error")
            << "len 2 head ok data WRONG | Data error" << true;
        QTest::newRow("oversized length")
            << FrameDirection::Reply << oversized << QString("Header error")
            << "len 3000 OVERSIZED head ok data -" << true;
        QTest::newRow("time-out") << FrameDirection::Reply << QByteArray() << QString("Timeout\n\n")
                                  << "<- (no bytes) | incomplete head | Timeout" << true;
    }
    void linesDecodeEachFrame() {
        QFETCH(FrameDirection, direction);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, failure);
        QFETCH(QString, expected);
        QFETCH(bool, failed);
        const FrameRecord record = RecordOf(direction, bytes, failure);
        const QString line = QString::fromStdString(FrameLine(record));
        QVERIFY2(line.contains(expected), qPrintable(line));
        QCOMPARE(FrameFailed(record), failed);
        QCOMPARE(line.startsWith(QStringLiteral("!")), failed);
        QVERIFY2(!line.endsWith(QChar(' ')) && !line.contains(QChar('\n')), qPrintable(line));
    }

    void linesShowTimeToTheMillisecondAndCutLongFrames() {
        FrameRecord record = RecordOf(
            FrameDirection::Request,
            Bytes(protocol::frame::EncodeFrameBytes(1, 0, std::vector<std::uint8_t>(100))), {});
        record.msSinceStart = 3723004;
        const QString line = QString::fromStdString(FrameLine(record));
        QVERIFY2(line.startsWith(QStringLiteral("  01:02:03.004 -> 55 01")), qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral(" ... +44 | order 1")), qPrintable(line));
        // The data check byte is judged over all the data, not only what the line shows.
        QVERIFY2(line.endsWith(QStringLiteral("len 100 head ok data ok")), qPrintable(line));
    }

    void ringKeepsTheLastFramesAndDropsTheOldest() {
        ProtocolMonitor monitor;
        const std::size_t total = ProtocolMonitor::kCapacity + 5;
        for (std::size_t i = 0; i < total; ++i) {
            const std::uint8_t bytes[2] = {std::uint8_t(i & 0xFF), std::uint8_t(i >> 8)};
            monitor.Record(i % 2 ? FrameDirection::Reply : FrameDirection::Request, bytes, 2);
        }
        QCOMPARE(monitor.Size(), ProtocolMonitor::kCapacity);
        QCOMPARE(monitor.Recorded(), std::uint64_t(total));
        auto number = [&](std::size_t index) {
            const auto bytes = monitor.At(index).Shown();
            return std::size_t(bytes[0] | (bytes[1] << 8));
        };
        QCOMPARE(number(0), std::size_t(5));
        QCOMPARE(number(ProtocolMonitor::kCapacity - 1), total - 1);
        QVERIFY(monitor.At(0).direction == FrameDirection::Reply);
        QVERIFY(monitor.At(0).msSinceStart <=
                monitor.At(ProtocolMonitor::kCapacity - 1).msSinceStart);

        monitor.Clear();
        QCOMPARE(monitor.Size(), std::size_t(0));
        QCOMPARE(monitor.Recorded(), std::uint64_t(0));
        const std::uint8_t one = 7;
        monitor.Record(FrameDirection::Request, &one, 1, "Timeout");
        QCOMPARE(monitor.Size(), std::size_t(1));
        QCOMPARE(monitor.At(0).failure, std::string("Timeout"));
    }

    void recordsKeepAtMostTheFrameBuffer() {
        ProtocolMonitor monitor;
        const std::vector<std::uint8_t> big(3000, 0xAB);
        monitor.Record(FrameDirection::Reply, big.data(), big.size());
        QCOMPARE(std::size_t(monitor.At(0).length), protocol::frame::kBufferSize);
    }

    void saveWritesEveryLine() {
        ProtocolMonitor monitor;
        const auto request = protocol::frame::EncodeFrameBytes(3, 1, {});
        monitor.Record(FrameDirection::Request, request.data(), request.size());
        monitor.Record(FrameDirection::Reply, nullptr, 0, "Timeout");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("monitor.txt"));
        std::string refusal;
        QVERIFY(monitor.Save(path.toStdString(), refusal));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QString::fromStdString(FrameLine(monitor.At(0))));
        QCOMPARE(lines[1], QString::fromStdString(FrameLine(monitor.At(1))));
        QVERIFY(!monitor.Save(dir.filePath(QStringLiteral("missing/monitor.txt")).toStdString(),
                              refusal));
        // A fifo nobody reads is refused at once instead of holding the window.
        const std::string fifo = dir.filePath(QStringLiteral("fifo")).toStdString();
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        QVERIFY(!monitor.Save(fifo, refusal));
        QVERIFY2(refusal.find(fifo) != std::string::npos, refusal.c_str());
    }
};

QTEST_GUILESS_MAIN(TestProtocolMonitor)
#include "TestProtocolMonitor.moc"
