// The simulated sensor's answers, byte for byte, and its parameter memory.
#include "SimTestBytes.h"
#include "protocol/CheckByte.h"
#include "sim/SensorModel.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace sim;

using namespace simtest;

namespace {

// The parameter block of a factory set, as it travels.
const char* kDefaultBlockHex =
    "f4010000010001000a0000000100000000000000000080 0ce40c000000000500 0100";

std::vector<std::uint8_t> AnswerOne(sim::SensorModel& model,
                                    const std::vector<std::uint8_t>& request) {
    auto exchanges = model.Feed(request.data(), request.size());
    if (exchanges.size() != 1) return {};
    return exchanges.front().reply;
}

std::vector<std::uint16_t> ParameterWords(const protocol::ParameterImage& image) {
    return {image.parameters.begin(), image.parameters.end()};
}

std::vector<std::uint16_t> TableWords(const protocol::ParameterImage& image) {
    std::vector<std::uint16_t> words;
    for (const auto& row : image.table)
        words.insert(words.end(), row.w.begin(), row.w.end());
    return words;
}

std::uint16_t Status(const std::vector<std::uint8_t>& reply) {
    return static_cast<std::uint16_t>(reply[2] | (reply[3] << 8));
}

} // namespace

class TestSensorModel : public QObject {
    Q_OBJECT
private slots:
    void repliesAreByteExact_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray id("CHROMIX3 SIMULATOR FW 4.2 (sim)\0", 32);
        QTest::newRow("identification")
            << ToQt(Order(7)) << QByteArray::fromHex("5507000020 0008d5") + id;
        QTest::newRow("read factory parameter block 0")
            << QByteArray::fromHex("550200000000aab9")
            << QByteArray::fromHex("5502000022003e12") + QByteArray::fromHex(kDefaultBlockHex);
        QTest::newRow("store in EEPROM")
            << QByteArray::fromHex("550300000000aa8e") << QByteArray::fromHex("550300000000aa8e");
        QTest::newRow("load from EEPROM, all plausible")
            << QByteArray::fromHex("550400000000aa0b") << QByteArray::fromHex("550400000000aa0b");
        QTest::newRow("write factory defaults")
            << QByteArray::fromHex("550100002200 3e4b") + QByteArray::fromHex(kDefaultBlockHex)
            << QByteArray::fromHex("550100000000aae0");
        QTest::newRow("unknown order 9")
            << ToQt(Order(9)) << QByteArray::fromHex("550001000000aa1a");
        QTest::newRow("unknown order 104")
            << ToQt(Order(104, 0, {1000, 1000, 1000})) << QByteArray::fromHex("550001000000aa1a");
        QTest::newRow("read of block 4")
            << ToQt(Order(2, 4)) << QByteArray::fromHex("550002000000aa54");
        QTest::newRow("parameter write with table length")
            << ToQt(Order(1, 0, std::vector<std::uint16_t>(248, 1)))
            << QByteArray::fromHex("550002000000aa54");
        QTest::newRow("trigger sending on")
            << QByteArray::fromHex("551e01000000aa52") << QByteArray::fromHex("551e00000000aa9f");
        QTest::newRow("trigger sending off")
            << QByteArray::fromHex("551e00000000aa9f") << QByteArray::fromHex("551e00000000aa9f");
        QTest::newRow("trigger sending with argument 2")
            << ToQt(Order(30, 2)) << QByteArray::fromHex("550002000000aa54");
        QTest::newRow("scan request") << QByteArray::fromHex("556e01000a00cb9b01004000280a01000000")
                                      << QByteArray::fromHex("556e00000000aa07");
        QTest::newRow("break scan")
            << QByteArray::fromHex("556e00000000aa07") << QByteArray::fromHex("556e00000000aa07");
        QTest::newRow("scan request of four words")
            << ToQt(Order(110, 1, {1, 64, 2600, 1})) << QByteArray::fromHex("550002000000aa54");
        QTest::newRow("trigger sending with a payload")
            << ToQt(Order(30, 1, {1})) << QByteArray::fromHex("550002000000aa54");
    }
    void repliesAreByteExact() {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        sim::SensorModel model;
        QCOMPARE(ToQt(AnswerOne(model, FromQt(request))), expected);
    }

    void baudRateOrderIsConfirmedAndRemembered() {
        sim::SensorModel model;
        const auto reply = AnswerOne(model, Order(190, 2));
        protocol::frame::HeaderFields head;
        QVERIFY(protocol::frame::DecodeHead(reply.data(), head));
        QCOMPARE(int(head.code), 190);
        QCOMPARE(int(head.word), 0);
        QCOMPARE(int(head.length), 0);
        QCOMPARE(model.BaudRateCode(), 2);
        QCOMPARE(Status(AnswerOne(model, Order(190, 9))), std::uint16_t(2));
        QCOMPARE(model.BaudRateCode(), 2);
    }

    void readTableBlockKeepsReservedWordsOfEveryRow() {
        sim::SensorModel model;
        for (std::uint16_t block : {2, 3}) {
            const auto reply = AnswerOne(model, Order(2, block));
            QCOMPARE(reply.size(), std::size_t(8 + 496));
            protocol::frame::HeaderFields head;
            QVERIFY(protocol::frame::DecodeHead(reply.data(), head));
            QCOMPARE(protocol::ComputeCheckByte(reply.data(), 8, 496), head.dataCheck);
            const auto words = ReplyWords(reply);
            for (int row = 0; row < 31; ++row) {
                QCOMPARE(words[row * 8 + 0], std::uint16_t(1));
                QCOMPARE(words[row * 8 + 7], std::uint16_t(0xA500 + row));
            }
        }
    }

    void writtenBlocksReadBackUnchanged() {
        sim::SensorModel model;
        protocol::ParameterImage image = sim::FactoryImage();
        image.parameters[protocol::kPower] = 750;
        image.parameters[protocol::kTrigger] = 6;
        for (int row = 0; row < 31; ++row) {
            image.table[row].w = {
                std::uint16_t(100 + row),   200, 30, 1000, 50, std::uint16_t(row % 5), 20,
                std::uint16_t(0x1234 + row)};
        }
        QCOMPARE(Status(AnswerOne(model, Order(1, 1, ParameterWords(image)))), std::uint16_t(0));
        QCOMPARE(Status(AnswerOne(model, Order(1, 3, TableWords(image)))), std::uint16_t(0));
        QVERIFY(ReplyWords(AnswerOne(model, Order(2, 1))) == ParameterWords(image));
        QVERIFY(ReplyWords(AnswerOne(model, Order(2, 3))) == TableWords(image));
        // Set 0 is untouched.
        QCOMPARE(ReplyWords(AnswerOne(model, Order(2, 0)))[protocol::kPower], std::uint16_t(500));
    }

    void implausibleParametersAreReplacedAndCounted_data() {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("readBack");
        QTest::newRow("power too high") << int(protocol::kPower) << 1001 << 1 << 500;
        QTest::newRow("power at its limit") << int(protocol::kPower) << 1000 << 0 << 1000;
        QTest::newRow("average zero") << int(protocol::kAverage) << 0 << 1 << 1;
        QTest::newRow("evaluation mode 5") << int(protocol::kEvaluationMode) << 5 << 1 << 1;
        QTest::newRow("max vec no 32") << int(protocol::kMaxVecNo) << 32 << 1 << 1;
        QTest::newRow("max vec no 31") << int(protocol::kMaxVecNo) << 31 << 0 << 31;
        QTest::newRow("trigger 7") << int(protocol::kTrigger) << 7 << 1 << 0;
        QTest::newRow("gain 8") << int(protocol::kGain) << 8 << 1 << 5;
        QTest::newRow("integral 251") << int(protocol::kIntegral) << 251 << 1 << 1;
        QTest::newRow("dynwin lo above hi") << int(protocol::kDynWinLo) << 3400 << 2 << 3200;
        QTest::newRow("word all ones") << int(protocol::kLedMode) << 65535 << 1 << 0;
    }
    void implausibleParametersAreReplacedAndCounted() {
        QFETCH(int, word);
        QFETCH(int, value);
        QFETCH(int, count);
        QFETCH(int, readBack);
        sim::SensorModel model;
        auto words = ParameterWords(sim::FactoryImage());
        words[word] = static_cast<std::uint16_t>(value);
        const auto reply = AnswerOne(model, Order(1, 0, words));
        QCOMPARE(reply[1], std::uint8_t(1));
        QCOMPARE(int(Status(reply)), count);
        QCOMPARE(int(ReplyWords(AnswerOne(model, Order(2, 0)))[word]), readBack);
    }

    void implausibleTableCellsAreCountedAndReservedWordsLeftAlone() {
        sim::SensorModel model;
        protocol::ParameterImage image = sim::FactoryImage();
        image.table[3].w[0] = 10001;   // teach cell out of range
        image.table[7].w[5] = 31;      // group out of range
        image.table[30].w[6] = 60000;  // hold out of range
        image.table[12].w[7] = 0xFFFF; // reserved: never checked
        const auto reply = AnswerOne(model, Order(1, 2, TableWords(image)));
        QCOMPARE(Status(reply), std::uint16_t(3));
        const auto words = ReplyWords(AnswerOne(model, Order(2, 2)));
        QCOMPARE(words[3 * 8 + 0], std::uint16_t(1));
        QCOMPARE(words[7 * 8 + 5], std::uint16_t(0));
        QCOMPARE(words[30 * 8 + 6], std::uint16_t(10));
        QCOMPARE(words[12 * 8 + 7], std::uint16_t(0xFFFF));
    }

    void corruptedPayloadIsRefusedAndRamKept() {
        sim::SensorModel model;
        auto request = Order(1, 0, ParameterWords(sim::FactoryImage()));
        request[8] = 0x00; // POWER low byte changed after the check byte was made
        QCOMPARE(ToQt(AnswerOne(model, request)), QByteArray::fromHex("550002000000aa54"));
        QCOMPARE(model.Ram()[0].parameters[protocol::kPower], std::uint16_t(500));
    }

    void requestsAreFoundInGarbageAndPieces() {
        sim::SensorModel model;
        // Noise with a stray start byte and a head whose check byte is off by one bit.
        auto stream = Hex("00ff55123455");
        auto broken = Order(7);
        broken[7] ^= 0x01;
        stream = Concat(stream, broken);
        stream = Concat(stream, Order(8));
        stream = Concat(stream, Hex("aa55"));
        stream = Concat(stream, Order(2, 1));
        std::vector<sim::Exchange> exchanges;
        for (std::uint8_t byte : stream) {
            for (auto& exchange : model.Feed(&byte, 1))
                exchanges.push_back(std::move(exchange));
        }
        QCOMPARE(exchanges.size(), std::size_t(2));
        QCOMPARE(exchanges[0].request.order, std::uint8_t(8));
        QVERIFY(exchanges[0].request.raw == Order(8));
        QCOMPARE(exchanges[0].reply[1], std::uint8_t(8));
        QCOMPARE(exchanges[1].request.order, std::uint8_t(2));
        QCOMPARE(exchanges[1].request.argument, std::uint16_t(1));
        QCOMPARE(exchanges[1].reply.size(), std::size_t(8 + 34));
        QCOMPARE(model.Parser().PendingBytes(), std::size_t(0));
    }

    void requestWithPayloadSplitAnywhereIsAnsweredOnce() {
        const auto request = Order(1, 0, ParameterWords(sim::FactoryImage()));
        for (std::size_t cut = 1; cut < request.size(); ++cut) {
            sim::SensorModel model;
            QVERIFY(model.Feed(request.data(), cut).empty());
            const auto rest = model.Feed(request.data() + cut, request.size() - cut);
            QCOMPARE(rest.size(), std::size_t(1));
            QCOMPARE(rest[0].request.payloadLength, std::uint16_t(34));
            QCOMPARE(ToQt(rest[0].reply), QByteArray::fromHex("550100000000aae0"));
        }
    }

    void measurementCarriesTwentyConsistentWords() {
        sim::SensorModel model;
        for (int turn = 0; turn < 300; ++turn) {
            const auto reply = AnswerOne(model, Order(8));
            QCOMPARE(reply.size(), std::size_t(48));
            protocol::frame::HeaderFields head;
            QVERIFY(protocol::frame::DecodeHead(reply.data(), head));
            QCOMPARE(head.code, std::uint8_t(8));
            QCOMPARE(head.length, std::uint16_t(40));
            QCOMPARE(protocol::ComputeCheckByte(reply.data(), 8, 40), head.dataCheck);
            const auto w = ReplyWords(reply);
            const int r = w[0], g = w[1], b = w[2], sum = r + g + b;
            QVERIFY(r <= 4095 && g <= 4095 && b <= 4095 && sum > 0);
            QCOMPARE(int(w[3]), r * 10000 / sum);
            QCOMPARE(int(w[4]), g * 10000 / sum);
            QCOMPARE(int(w[5]), sum / 3);
            // Factory set: row 0 is at its reset value, so nothing is hit in BEST HIT.
            QCOMPARE(w[6], std::uint16_t(0xFFFF));
            QCOMPARE(w[7], std::uint16_t(255));
            QCOMPARE(w[8], std::uint16_t(255));
            QCOMPARE(w[9], std::uint16_t(0));
            QVERIFY(w[10] > 300 && w[10] < 450);
            QCOMPARE(w[11], w[0]);
            QCOMPARE(w[12], w[1]);
            QCOMPARE(w[13], w[2]);
            for (int channel = 0; channel < 3; ++channel) {
                QVERIFY(w[14 + 2 * channel] <= w[channel]);
                QVERIFY(w[15 + 2 * channel] >= w[channel]);
            }
        }
    }

    void triggeredMeasurementIsTheNextOrder8ReplyWithTriggerWordSet() {
        sim::SensorModel asked;
        sim::SensorModel pushed;
        for (int turn = 0; turn < 5; ++turn) {
            const auto expected = AnswerOne(asked, Order(8));
            const auto reply = pushed.TriggeredMeasurementReply();
            QCOMPARE(reply.size(), std::size_t(48));
            protocol::frame::HeaderFields head;
            QVERIFY(protocol::frame::DecodeHead(reply.data(), head));
            QCOMPARE(int(head.code), 8);
            QCOMPARE(int(head.word), 0);
            QCOMPARE(int(head.length), 40);
            QCOMPARE(protocol::ComputeCheckByte(reply.data(), 8, 40), head.dataCheck);
            auto words = ReplyWords(reply);
            QCOMPARE(words[9], std::uint16_t(1));
            words[9] = ReplyWords(expected)[9];
            // Same measurement sequence as order 8: each pushed frame moves the object on.
            QVERIFY(words == ReplyWords(expected));
        }
        // Both models have taken five measurements: the next order 8 answers agree.
        QVERIFY(AnswerOne(asked, Order(8)) == AnswerOne(pushed, Order(8)));
    }

    void measurementDriftsSlowly() {
        sim::SensorModel model;
        auto previous = model.NextMeasurement();
        int moved = 0;
        for (int turn = 0; turn < 1000; ++turn) {
            const auto next = model.NextMeasurement();
            for (int channel = 0; channel < 3; ++channel) {
                const int step = std::abs(int(next.w[channel]) - int(previous.w[channel]));
                QVERIFY2(step < 200, "a channel jumped");
                moved += step;
            }
            previous = next;
        }
        QVERIFY(moved > 0);
    }

    void siModeReportsSiAndM() {
        sim::SensorModel model;
        protocol::ParameterImage image = sim::FactoryImage();
        image.parameters[protocol::kCalculationMode] = 1;
        model.SetRam(0, image);
        const auto m = model.NextMeasurement();
        const int r = m.w[0], g = m.w[1], b = m.w[2];
        QCOMPARE(int(m.w[3]), (r - g + 4095) * 10000 / 8190);
        QCOMPARE(int(m.w[4]), ((r + g) / 2 - b + 4095) * 10000 / 8190);
        QCOMPARE(int(m.w[5]), (r + g + b) * 1200 / 12285);
    }

    void objectInFrontIsRecognisedAsTheTaughtRow() {
        sim::SensorModel model;
        protocol::ParameterImage image = sim::FactoryImage();
        image.parameters[protocol::kColorGroup] = 1;
        image.table[0].w = {5000, 3000, 150, 1500, 150, 7, 10, 0xA500};
        model.SetRam(0, image);
        protocol::MeasurementFrame m;
        for (int turn = 0; turn < 120; ++turn)
            m = model.NextMeasurement();
        QCOMPARE(m.w[protocol::MeasurementFrame::kColourNumber], std::uint16_t(0));
        QCOMPARE(m.w[protocol::MeasurementFrame::kGroup], std::uint16_t(7));
        QVERIFY(m.DeltaC() >= 0 && m.DeltaC() <= 150);
        QVERIFY(std::abs(int(m.w[protocol::MeasurementFrame::kX]) - 5000) <= 150);
        QVERIFY(std::abs(int(m.w[protocol::MeasurementFrame::kInt]) - 1500) <= 150);
    }

    void eepromSurvivesANewModelFromTheSameFile() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("eeprom.bin").toStdString();
        protocol::ParameterImage image = sim::FactoryImage();
        image.parameters[protocol::kPower] = 640;
        image.table[5].w = {4000, 2000, 100, 900, 60, 3, 25, 0xBEEF};
        {
            sim::SensorModel first({path, 1});
            QCOMPARE(Status(AnswerOne(first, Order(1, 1, ParameterWords(image)))),
                     std::uint16_t(0));
            QCOMPARE(Status(AnswerOne(first, Order(1, 3, TableWords(image)))), std::uint16_t(0));
            QVERIFY(!std::filesystem::exists(path));
            QCOMPARE(ToQt(AnswerOne(first, Order(3))), QByteArray::fromHex("550300000000aa8e"));
            QVERIFY(std::filesystem::exists(path));
            QVERIFY(!std::filesystem::exists(path + ".tmp"));
        }
        sim::SensorModel second({path, 1});
        QVERIFY(second.EepromError().empty());
        QVERIFY(ReplyWords(AnswerOne(second, Order(2, 1))) == ParameterWords(image));
        QVERIFY(ReplyWords(AnswerOne(second, Order(2, 3))) == TableWords(image));
        QCOMPARE(second.Eeprom()[0].table[4].w[7], std::uint16_t(0xA504));
    }

    void loadFromEepromDiscardsRamChanges() {
        sim::SensorModel model;
        auto words = ParameterWords(sim::FactoryImage());
        words[protocol::kPower] = 900;
        AnswerOne(model, Order(1, 0, words));
        QCOMPARE(model.Ram()[0].parameters[protocol::kPower], std::uint16_t(900));
        QCOMPARE(ToQt(AnswerOne(model, Order(4))), QByteArray::fromHex("550400000000aa0b"));
        QCOMPARE(model.Ram()[0].parameters[protocol::kPower], std::uint16_t(500));
    }

    void implausibleEepromIsCheckedOnLoadAndAtStart() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("eeprom.bin").toStdString();
        sim::ParameterSets sets = sim::FactorySets();
        sets[0].parameters[protocol::kPower] = 5000;
        sets[1].parameters[protocol::kEvaluationMode] = 9;
        sets[1].table[2].w[5] = 99;
        std::string error;
        QVERIFY(sim::SaveEepromFile(path, sets, error));
        sim::SensorModel model({path, 1});
        QCOMPARE(model.Ram()[0].parameters[protocol::kPower], std::uint16_t(500));
        QCOMPARE(model.Eeprom()[0].parameters[protocol::kPower], std::uint16_t(5000));
        const auto reply = AnswerOne(model, Order(4));
        QCOMPARE(reply[1], std::uint8_t(4));
        QCOMPARE(Status(reply), std::uint16_t(3));
        QCOMPARE(model.Ram()[1].parameters[protocol::kEvaluationMode], std::uint16_t(1));
        QCOMPARE(model.Ram()[1].table[2].w[5], std::uint16_t(0));
    }

    void damagedEepromFileFallsBackToFactorySets() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("eeprom.bin").toStdString();
        std::ofstream(path) << "not an eeprom";
        sim::SensorModel model({path, 1});
        QVERIFY(!model.EepromError().empty());
        QCOMPARE(model.Ram()[0].parameters[protocol::kPower], std::uint16_t(500));
        QCOMPARE(model.Ram()[1].table[30].w[7], std::uint16_t(0xA500 + 30));
    }
};

QTEST_GUILESS_MAIN(TestSensorModel)
#include "TestSensorModel.moc"
