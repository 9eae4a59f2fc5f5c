#include "core/AppState.h"
#include "link/TransferPlan.h"
#include "model/ParameterDefaults.h"
#include "protocol/BlockLayout.h"
#include "protocol/FrameCodec.h"

#include <QtTest>
#include <vector>

using namespace params;
using namespace comm;
using namespace core;

namespace {

QByteArray Hex(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
        .toHex(' ')
        .toUpper();
}

std::vector<std::uint8_t> EncodeRequest(const ParameterRequest& request) {
    return protocol::frame::EncodeFrameWords(request.order, request.argument, request.payload);
}

// An image whose every word differs from the defaults, so a stray copy shows.
protocol::ParameterImage DistinctImage() {
    protocol::ParameterImage image;
    for (int k = 0; k < protocol::kParameterCount; ++k)
        image.parameters[k] = std::uint16_t(0x1100 + k);
    for (int r = 0; r < protocol::kTeachRows; ++r)
        for (int k = 0; k < protocol::kTeachVectorWords; ++k)
            image.table[r].w[k] = std::uint16_t(0x2000 + r * 16 + k);
    return image;
}

} // namespace

class TestBlockLayout : public QObject {
    Q_OBJECT

private slots:
    void defaultParameterBlockWriteIsByteExact() {
        const auto plan = PlanSendRequests(DefaultParameterImage(), 0, kRam);
        QVERIFY(!plan.empty());
        QCOMPARE(Hex(EncodeRequest(plan[0])),
                 QByteArray("55 01 00 00 22 00 3E 4B F4 01 00 00 01 00 01 00 0A 00 00 00 01 00 "
                            "00 00 00 00 00 00 00 00 80 0C E4 0C 00 00 00 00 05 00 01 00"));
    }

    void defaultImageHoldsFileDefaultsInEveryRow() {
        const protocol::ParameterImage image = DefaultParameterImage();
        QCOMPARE(int(image.parameters[protocol::kPower]), 500);
        QCOMPARE(int(image.parameters[protocol::kDynWinHi]), 3300);
        for (const auto& row : image.table) {
            const std::array<std::uint16_t, 8> expected{1, 1, 1, 1, 1, 0, 10, 0};
            QCOMPARE(row.w, expected);
        }
    }

    void wordsTravelLowByteFirst_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("1000") << 1000 << QByteArray("E8 03");
        QTest::newRow("65535") << 65535 << QByteArray("FF FF");
        QTest::newRow("256") << 256 << QByteArray("00 01");
    }
    void wordsTravelLowByteFirst() {
        QFETCH(int, value);
        QFETCH(QByteArray, bytes);
        protocol::ParameterImage image;
        image.parameters[protocol::kIntlim] = std::uint16_t(value);
        const auto encoded = protocol::ParameterBlockBytes(image);
        QCOMPARE(encoded.size(), protocol::kParameterBlockBytes);
        QCOMPARE(Hex({encoded.begin() + 10, encoded.begin() + 12}), bytes);
    }

    void readAndEepromRequestsMatchTheirFrames_data() {
        QTest::addColumn<int>("paraSet");
        QTest::addColumn<int>("target");
        QTest::addColumn<QStringList>("frames");
        QTest::newRow("RAM set 0")
            << 0 << int(kRam) << QStringList{"55 02 00 00 00 00 AA B9", "55 02 02 00 00 00 AA 3A"};
        QTest::newRow("RAM set 1")
            << 1 << int(kRam) << QStringList{"55 02 01 00 00 00 AA 74", "55 02 03 00 00 00 AA F7"};
        QTest::newRow("EEPROM set 0")
            << 0 << int(kEeprom)
            << QStringList{"55 04 00 00 00 00 AA 0B", "55 02 00 00 00 00 AA B9",
                           "55 02 02 00 00 00 AA 3A"};
        QTest::newRow("stray set number addresses set 0")
            << 9 << int(kRam) << QStringList{"55 02 00 00 00 00 AA B9", "55 02 02 00 00 00 AA 3A"};
        QTest::newRow("FILE sends nothing") << 0 << int(kFile) << QStringList{};
    }
    void readAndEepromRequestsMatchTheirFrames() {
        QFETCH(int, paraSet);
        QFETCH(int, target);
        QFETCH(QStringList, frames);
        const auto plan = PlanGetRequests(std::uint16_t(paraSet), std::uint16_t(target));
        QStringList encoded;
        for (const auto& request : plan)
            encoded << QString::fromLatin1(Hex(EncodeRequest(request)));
        QCOMPARE(encoded, frames);
    }

    void sendSizesFollowTheTarget_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("RAM") << int(kRam) << QList<int>{42, 504};
        QTest::newRow("EEPROM") << int(kEeprom) << QList<int>{42, 504, 8};
        QTest::newRow("FILE") << int(kFile) << QList<int>{};
    }
    void sendSizesFollowTheTarget() {
        QFETCH(int, target);
        QFETCH(QList<int>, sizes);
        QList<int> actual;
        for (const auto& request :
             PlanSendRequests(DefaultParameterImage(), 1, std::uint16_t(target)))
            actual << int(EncodeRequest(request).size());
        QCOMPARE(actual, sizes);
    }

    void sendToParaSet1UsesBlocks1And3AndStoreUsesArgumentZero() {
        const auto plan = PlanSendRequests(DefaultParameterImage(), 1, kEeprom);
        QCOMPARE(plan.size(), std::size_t(3));
        QCOMPARE(int(plan[0].argument), 1);
        QCOMPARE(int(plan[1].argument), 3);
        QCOMPARE(Hex(EncodeRequest(plan[2])), QByteArray("55 03 00 00 00 00 AA 8E"));
    }

    void tableBlockRowsStartEverySixteenBytes() {
        const protocol::ParameterImage image = DistinctImage();
        const auto bytes = protocol::TableBlockBytes(image);
        QCOMPARE(bytes.size(), protocol::kTableBlockBytes);
        // Row 5, reserved word: bytes 16*5+14 and +15.
        const std::uint16_t reserved = image.table[5].w[7];
        QCOMPARE(int(bytes[16 * 5 + 14]), reserved & 0xFF);
        QCOMPARE(int(bytes[16 * 5 + 15]), reserved >> 8);
        // Row 30, GROUP: bytes 16*30+10 and +11.
        QCOMPARE(int(bytes[16 * 30 + 10]), image.table[30].w[5] & 0xFF);
    }

    void receivedReservedWordsGoBackUnchanged() {
        const protocol::ParameterImage sensor = DistinctImage();
        const auto reply = protocol::TableBlockBytes(sensor);
        protocol::ParameterImage image = DefaultParameterImage();
        QCOMPARE(protocol::StoreTableBlockBytes(image, reply.data(), reply.size()),
                 protocol::kTableBlockWords);
        const auto plan = PlanSendRequests(image, 0, kRam);
        for (int r = 0; r < protocol::kTeachRows; ++r)
            QCOMPARE(plan[1].payload[std::size_t(r * 8 + 7)], sensor.table[r].w[7]);
        QCOMPARE(Hex(protocol::TableBlockBytes(image)), Hex(reply));
    }

    void reservedWordsAreZeroBeforeAnyRead() {
        const auto words = protocol::TableBlockWords(DefaultParameterImage());
        for (int r = 0; r < protocol::kTeachRows; ++r)
            QCOMPARE(int(words[std::size_t(r * 8 + 7)]), 0);
    }

    void shortParameterReplyReplacesOnlyReceivedWords_data() {
        QTest::addColumn<int>("byteCount");
        QTest::newRow("nothing") << 0;
        QTest::newRow("one odd byte") << 1;
        QTest::newRow("five words") << 10;
        QTest::newRow("odd last byte ignored") << 33;
        QTest::newRow("complete") << 34;
    }
    void shortParameterReplyReplacesOnlyReceivedWords() {
        QFETCH(int, byteCount);
        const protocol::ParameterImage sensor = DistinctImage();
        const auto reply = protocol::ParameterBlockBytes(sensor);
        protocol::ParameterImage image = DefaultParameterImage();
        const std::size_t stored =
            protocol::StoreParameterBlockBytes(image, reply.data(), std::size_t(byteCount));
        QCOMPARE(stored, std::size_t(byteCount / 2));
        for (std::size_t k = 0; k < protocol::kParameterBlockWords; ++k) {
            const auto expected = k < stored ? sensor.parameters[k] : kDefaultParameters[k];
            QCOMPARE(image.parameters[k], expected);
        }
        QCOMPARE(protocol::TableBlockWords(image),
                 protocol::TableBlockWords(DefaultParameterImage()));
    }

    void shortTableReplyKeepsLaterRows() {
        const protocol::ParameterImage sensor = DistinctImage();
        const auto reply = protocol::TableBlockBytes(sensor);
        protocol::ParameterImage image = DefaultParameterImage();
        // Two and a half rows: rows 0 and 1 complete, row 2 up to its third word.
        QCOMPARE(protocol::StoreTableBlockBytes(image, reply.data(), 16 * 2 + 6), std::size_t(19));
        QCOMPARE(image.table[1].w, sensor.table[1].w);
        QCOMPARE(image.table[2].w[2], sensor.table[2].w[2]);
        QCOMPARE(int(image.table[2].w[3]), 1);
        QCOMPARE(int(image.table[2].w[6]), 10);
        QCOMPARE(image.table[3].w, DefaultTeachVector().w);
    }

    void longRepliesStopAtTheBlockEnd() {
        const std::vector<std::uint8_t> reply(protocol::frame::kMaxDataBytes, 0xAB);
        protocol::ParameterImage image = DefaultParameterImage();
        QCOMPARE(protocol::StoreParameterBlockBytes(image, reply.data(), reply.size()),
                 protocol::kParameterBlockWords);
        QCOMPARE(protocol::TableBlockWords(image),
                 protocol::TableBlockWords(DefaultParameterImage()));
        QCOMPARE(int(image.parameters[16]), 0xABAB);

        image = DefaultParameterImage();
        std::vector<std::uint16_t> words(protocol::frame::kWordCount, 0xCDCD);
        QCOMPARE(protocol::StoreParameterBlockWords(image, words.data(), words.size()),
                 protocol::kParameterBlockWords);
        QCOMPARE(protocol::TableBlockWords(image),
                 protocol::TableBlockWords(DefaultParameterImage()));

        image = DefaultParameterImage();
        QCOMPARE(protocol::StoreTableBlockWords(image, words.data(), words.size()),
                 protocol::kTableBlockWords);
        QCOMPARE(image.parameters, kDefaultParameters);
        QCOMPARE(int(image.table[30].w[7]), 0xCDCD);
    }

    void bothParameterSetsFillTheSameImage() {
        const protocol::ParameterImage sensor = DistinctImage();
        const auto params = protocol::ParameterBlockWords(sensor);
        const auto table = protocol::TableBlockWords(sensor);
        protocol::ParameterImage viaSet0 = DefaultParameterImage();
        protocol::ParameterImage viaSet1 = DefaultParameterImage();
        for (const auto& request : PlanGetRequests(0, kRam))
            StoreReadReply(viaSet0, request, request.argument == 0 ? params.data() : table.data(),
                           request.expectedReplyBytes / 2);
        for (const auto& request : PlanGetRequests(1, kRam))
            StoreReadReply(viaSet1, request, request.argument == 1 ? params.data() : table.data(),
                           request.expectedReplyBytes / 2);
        QCOMPARE(viaSet0.parameters, sensor.parameters);
        QCOMPARE(protocol::TableBlockWords(viaSet0), protocol::TableBlockWords(sensor));
        QCOMPARE(viaSet1.parameters, viaSet0.parameters);
        QCOMPARE(protocol::TableBlockWords(viaSet1), protocol::TableBlockWords(viaSet0));
    }

    void unknownBlockAndNonReadRequestsStoreNothing() {
        const std::vector<std::uint16_t> words(300, 7);
        protocol::ParameterImage image = DefaultParameterImage();
        QCOMPARE(protocol::StoreBlockWords(image, 4, words.data(), words.size()), std::size_t(0));
        const auto writes = PlanSendRequests(image, 0, kEeprom);
        for (const auto& request : writes)
            QCOMPARE(StoreReadReply(image, request, words.data(), words.size()), std::size_t(0));
        QCOMPARE(image.parameters, kDefaultParameters);
        QCOMPARE(protocol::TableBlockWords(image),
                 protocol::TableBlockWords(DefaultParameterImage()));
    }

    void plausibilityCountShowsTheTextOfItsRequest_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        const QString ram = " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO "
                            "DEFAULT VALUE!";
        const QString eeprom = " PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE "
                               "SET TO DEFAULT VALUE!";
        QTest::newRow("parameter block write") << int(kRam) << 0 << 2 << "INFO!\n2" + ram;
        QTest::newRow("table block write, largest count")
            << int(kRam) << 1 << 65535 << "INFO!\n65535" + ram;
        QTest::newRow("zero count says nothing") << int(kRam) << 0 << 0 << QString();
        QTest::newRow("store to EEPROM not examined") << int(kEeprom) << 2 << 4 << QString();
        QTest::newRow("EEPROM load") << -int(kEeprom) << 0 << 3 << "INFO!\n3" + eeprom;
        QTest::newRow("read reply not examined") << -int(kEeprom) << 1 << 3 << QString();
    }
    void plausibilityCountShowsTheTextOfItsRequest() {
        QFETCH(int, target);
        QFETCH(int, index);
        QFETCH(int, status);
        QFETCH(QString, text);
        // A negative target stands for the GET plan.
        const auto plan = target > 0
                              ? PlanSendRequests(DefaultParameterImage(), 0, std::uint16_t(target))
                              : PlanGetRequests(0, std::uint16_t(-target));
        const auto notice = PlausibilityNotice(plan[std::size_t(index)], std::uint16_t(status));
        QCOMPARE(QString::fromStdString(notice), text);
    }
};

QTEST_APPLESS_MAIN(TestBlockLayout)
#include "TestBlockLayout.moc"
