#include "protocol/CheckByte.h"
#include "protocol/FrameCodec.h"

#include <QtTest>
#include <vector>

using namespace protocol;

class TestFrameCodec : public QObject {
    Q_OBJECT

    static QByteArray Hex(const std::vector<std::uint8_t>& bytes) {
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
            .toHex(' ')
            .toUpper();
    }

private slots:
    void checkByteMatchesKnownAnswers_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("abc") << QByteArray("abc") << 0xDE;
        QTest::newRow("digits 1 to 9") << QByteArray("123456789") << 0x6D;
        QTest::newRow("empty gives start value") << QByteArray() << 0xAA;
    }
    void checkByteMatchesKnownAnswers() {
        QFETCH(QByteArray, text);
        QFETCH(int, expected);
        auto* bytes = reinterpret_cast<const std::uint8_t*>(text.constData());
        QCOMPARE(int(protocol::ComputeCheckByte(bytes, 0, std::size_t(text.size()))), expected);
    }

    void checkByteHonoursStartOffset() {
        const std::uint8_t bytes[] = {0xFF, 0xFF, 'a', 'b', 'c'};
        QCOMPARE(int(protocol::ComputeCheckByte(bytes, 2, 3)), 0xDE);
    }

    void measurementRequestIsTheWorkedExample() {
        std::uint16_t words[1] = {0};
        std::uint8_t out[64];
        const auto n = protocol::frame::EncodeFrame(out, sizeof out, 8, 0, words, 0, 0);
        QCOMPARE(Hex({out, out + n}), QByteArray("55 08 00 00 00 00 AA 76"));
    }

    void calibrationWriteSendsOnlyThreeWords() {
        std::uint16_t words[17] = {1000, 1000, 1000, 7, 7, 7};
        std::uint8_t out[64];
        const auto n = protocol::frame::EncodeFrame(out, sizeof out, 101, 0, words, 17, 6);
        QCOMPARE(Hex({out, out + n}), QByteArray("55 65 00 00 06 00 05 C0 E8 03 E8 03 E8 03"));
    }

    void headerOverItsOwnCheckByteIsZeroWhenIntact() {
        const std::uint8_t head[] = {0x55, 0x08, 0, 0, 0, 0, 0xAA, 0x76};
        protocol::frame::HeaderFields fields;
        QVERIFY(protocol::frame::DecodeHead(head, fields));
        QCOMPARE(int(fields.code), 8);
        QCOMPARE(int(fields.length), 0);
    }

    void headerWithOneBitWrongIsRejected_data() {
        QTest::addColumn<int>("byteIndex");
        QTest::addColumn<int>("mask");
        QTest::newRow("check byte bit 0") << 7 << 0x01;
        QTest::newRow("check byte bit 7") << 7 << 0x80;
        QTest::newRow("status word") << 2 << 0x04;
        QTest::newRow("start byte") << 0 << 0x02;
    }
    void headerWithOneBitWrongIsRejected() {
        QFETCH(int, byteIndex);
        QFETCH(int, mask);
        std::uint8_t head[] = {0x55, 0x08, 0, 0, 0, 0, 0xAA, 0x76};
        head[byteIndex] ^= std::uint8_t(mask);
        protocol::frame::HeaderFields fields;
        QVERIFY(!protocol::frame::DecodeHead(head, fields));
    }

    void startByteOtherThanURejectedEvenWithMatchingCheck() {
        std::uint8_t head[8] = {0x54, 0x08, 0, 0, 0, 0, 0xAA, 0};
        head[7] = protocol::ComputeCheckByte(head, 0, 7);
        protocol::frame::HeaderFields fields;
        QVERIFY(!protocol::frame::DecodeHead(head, fields));
    }

    void replyRoundTripsThroughEncodeAndDecode() {
        const std::vector<std::uint16_t> words = {1, 0x1234, 0xFFFF, 4095};
        const auto bytes = protocol::frame::EncodeFrameWords(2, 3, words);
        QCOMPARE(bytes.size(), std::size_t(8 + 8));
        protocol::frame::HeaderFields fields;
        QVERIFY(protocol::frame::DecodeHead(bytes.data(), fields));
        QCOMPARE(int(fields.word), 3);
        QCOMPARE(int(fields.length), 8);
        QCOMPARE(int(fields.dataCheck), int(protocol::ComputeCheckByte(bytes.data(), 8, 8)));
        std::uint16_t decoded[4] = {};
        QCOMPARE(protocol::frame::DecodeWords(bytes.data() + 8, 8, decoded, 4), std::size_t(4));
        QCOMPARE(decoded[1], std::uint16_t(0x1234));
        QCOMPARE(decoded[2], std::uint16_t(0xFFFF));
    }

    void oddDataLengthDecodesWholeWordsOnly() {
        const std::uint8_t data[] = {0x01, 0x02, 0x03, 0x04, 0x05};
        std::uint16_t words[4] = {9, 9, 9, 9};
        QCOMPARE(protocol::frame::DecodeWords(data, 5, words, 4), std::size_t(2));
        QCOMPARE(words[0], std::uint16_t(0x0201));
        QCOMPARE(words[1], std::uint16_t(0x0403));
        QCOMPARE(words[2], std::uint16_t(9));
    }

    void decodeNeverWritesPastTheWordArray() {
        std::vector<std::uint8_t> data(4000, 0x11);
        std::uint16_t words[5] = {};
        QCOMPARE(protocol::frame::DecodeWords(data.data(), data.size(), words, 4), std::size_t(4));
        QCOMPARE(words[4], std::uint16_t(0));
    }

    void encodeClipsPayloadToTheBuffer() {
        std::vector<std::uint16_t> words(2000, 7);
        std::vector<std::uint8_t> out(protocol::frame::kBufferSize);
        const auto n = protocol::frame::EncodeFrame(out.data(), out.size(), 1, 0, words.data(),
                                                    words.size(), 4000);
        QCOMPARE(n, protocol::frame::kBufferSize);
        QVERIFY(
            !protocol::frame::EncodeFrame(out.data(), 10, 1, 0, words.data(), words.size(), 40));
    }
};

QTEST_APPLESS_MAIN(TestFrameCodec)
#include "TestFrameCodec.moc"
