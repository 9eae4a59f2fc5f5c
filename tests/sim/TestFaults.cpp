// How the fault switches reshape a well-formed reply.
#include "SimTestBytes.h"
#include "protocol/CheckByte.h"
#include "sim/Faults.h"
#include "sim/SensorModel.h"

#include <QtTest>

#include <thread>

using namespace sim;

using namespace simtest;

namespace {

std::vector<std::uint8_t> MeasurementReply() {
    sim::SensorModel model;
    return model.Answer(sim::Request{8, 0, 0, true, Order(8)});
}

std::vector<std::uint8_t> Joined(const sim::ReplyPlan& plan) {
    std::vector<std::uint8_t> all;
    for (const auto& piece : plan.pieces)
        all = Concat(all, piece);
    return all;
}

sim::Fault On(int value = 0, int order = sim::kAllOrders) {
    return sim::Fault{true, value, order};
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void noFaultSendsTheReplyUnchangedInOnePiece() {
        const auto reply = MeasurementReply();
        const sim::ReplyPlan plan = sim::ShapeReply(reply, 8, {});
        QVERIFY(!plan.silent);
        QCOMPARE(plan.pieces.size(), std::size_t(1));
        QVERIFY(plan.pieces[0] == reply);
        QCOMPARE(plan.delayMs, 0);
        QCOMPARE(plan.bytesPerSecond, 0);
    }

    void faultLimitedToOneOrderLeavesOtherOrdersAlone() {
        sim::FaultSettings faults;
        faults.silence = On(0, 8);
        const auto reply = MeasurementReply();
        QVERIFY(sim::ShapeReply(reply, 8, faults).silent);
        QVERIFY(!sim::ShapeReply(reply, 7, faults).silent);
        faults.silence.order = sim::kAllOrders;
        QVERIFY(sim::ShapeReply(reply, 7, faults).silent);
        faults.silence.on = false;
        QVERIFY(!sim::ShapeReply(reply, 8, faults).silent);
    }

    void cutReplyHasExactlyTheGivenNumberOfBytes_data() {
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("expected");
        QTest::newRow("inside the head") << 7 << 7;
        QTest::newRow("inside the data") << 20 << 20;
        QTest::newRow("nothing at all") << 0 << 0;
        QTest::newRow("longer than the reply") << 500 << 48;
    }
    void cutReplyHasExactlyTheGivenNumberOfBytes() {
        QFETCH(int, cut);
        QFETCH(int, expected);
        sim::FaultSettings faults;
        faults.cutAfterBytes = On(cut);
        const auto plan = sim::ShapeReply(MeasurementReply(), 8, faults);
        QCOMPARE(Joined(plan).size(), std::size_t(expected));
    }

    void wrongHeadCheckByteFailsTheHeadCheck() {
        sim::FaultSettings faults;
        faults.badHeadCheck = On();
        const auto bytes = Joined(sim::ShapeReply(MeasurementReply(), 8, faults));
        protocol::frame::HeaderFields head;
        QVERIFY(!protocol::frame::DecodeHead(bytes.data(), head));
    }

    void wrongDataCheckByteKeepsAValidHead() {
        sim::FaultSettings faults;
        faults.badDataCheck = On();
        const auto bytes = Joined(sim::ShapeReply(MeasurementReply(), 8, faults));
        protocol::frame::HeaderFields head;
        QVERIFY(protocol::frame::DecodeHead(bytes.data(), head));
        QCOMPARE(head.length, std::uint16_t(40));
        QVERIFY(protocol::ComputeCheckByte(bytes.data(), 8, 40) != head.dataCheck);
    }

    void errorReplyCarriesTheStatus_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("invalid order") << 1 << QByteArray::fromHex("550001000000aa1a");
        QTest::newRow("communication error") << 2 << QByteArray::fromHex("550002000000aa54");
    }
    void errorReplyCarriesTheStatus() {
        QFETCH(int, status);
        QFETCH(QByteArray, expected);
        sim::FaultSettings faults;
        faults.errorReply = On(status);
        QCOMPARE(ToQt(Joined(sim::ShapeReply(MeasurementReply(), 8, faults))), expected);
    }

    void oddLengthAddsOneByteCoveredByTheCheck() {
        sim::FaultSettings faults;
        faults.oddLength = On();
        const auto reply = MeasurementReply();
        const auto bytes = Joined(sim::ShapeReply(reply, 8, faults));
        protocol::frame::HeaderFields head;
        QVERIFY(protocol::frame::DecodeHead(bytes.data(), head));
        QCOMPARE(head.length, std::uint16_t(41));
        QCOMPARE(bytes.size(), std::size_t(49));
        QCOMPARE(protocol::ComputeCheckByte(bytes.data(), 8, 41), head.dataCheck);
        QVERIFY(std::equal(reply.begin() + 8, reply.end(), bytes.begin() + 8));
    }

    // A frame that passes every check and simply holds less: the link must judge the length.
    void dataBytesKeepsAWellFormedFrameOfThatLength_data() {
        QTest::addColumn<int>("kept");
        QTest::addColumn<int>("length");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("one word") << 2 << 2;
        QTest::newRow("more than there are") << 500 << 40;
    }
    void dataBytesKeepsAWellFormedFrameOfThatLength() {
        QFETCH(int, kept);
        QFETCH(int, length);
        sim::FaultSettings faults;
        faults.dataBytes = On(kept);
        const auto reply = MeasurementReply();
        const auto bytes = Joined(sim::ShapeReply(reply, 8, faults));
        protocol::frame::HeaderFields head;
        QVERIFY(protocol::frame::DecodeHead(bytes.data(), head));
        QCOMPARE(int(head.length), length);
        QCOMPARE(int(bytes.size()), 8 + length);
        QCOMPARE(protocol::ComputeCheckByte(bytes.data(), 8, head.length), head.dataCheck);
        QVERIFY(std::equal(bytes.begin() + 8, bytes.end(), reply.begin() + 8));
    }

    void oversizeLengthIsAnnouncedButNotSent() {
        sim::FaultSettings faults;
        faults.oversizeLength = On(3000);
        const auto bytes = Joined(sim::ShapeReply(MeasurementReply(), 8, faults));
        protocol::frame::HeaderFields head;
        QVERIFY(protocol::frame::DecodeHead(bytes.data(), head));
        QCOMPARE(head.length, std::uint16_t(3000));
        QCOMPARE(bytes.size(), std::size_t(48));
    }

    void piecesTogetherMakeTheWholeReply() {
        sim::FaultSettings faults;
        faults.pieces = On(3);
        faults.piecePauseMs = 15;
        const auto reply = MeasurementReply();
        const auto plan = sim::ShapeReply(reply, 8, faults);
        QCOMPARE(plan.pieces.size(), std::size_t(3));
        QCOMPARE(plan.pauseMs, 15);
        for (const auto& piece : plan.pieces)
            QVERIFY(!piece.empty());
        QVERIFY(Joined(plan) == reply);
    }

    void forcedPlausibilityCountRewritesOnlyCountingReplies() {
        sim::FaultSettings faults;
        faults.plausibilityCount = On(4);
        sim::SensorModel model;
        const auto writeReply = model.Answer({1, 0, 34, true, {}});
        // A malformed write is an error reply and keeps its status.
        QCOMPARE(ToQt(Joined(sim::ShapeReply(writeReply, 1, faults))),
                 QByteArray::fromHex("550002000000aa54"));
        const auto loadReply = model.Answer({4, 0, 0, true, Order(4)});
        const auto bytes = Joined(sim::ShapeReply(loadReply, 4, faults));
        protocol::frame::HeaderFields head;
        QVERIFY(protocol::frame::DecodeHead(bytes.data(), head));
        QCOMPARE(head.code, std::uint8_t(4));
        QCOMPARE(head.word, std::uint16_t(4));
        const auto measurement = Joined(sim::ShapeReply(MeasurementReply(), 8, faults));
        QVERIFY(protocol::frame::DecodeHead(measurement.data(), head));
        QCOMPARE(head.word, std::uint16_t(0));
    }

    void delayAndBaudRateReachThePlan() {
        sim::FaultSettings faults;
        faults.delayMs = On(250, 8);
        faults.baudRate = On(9600);
        const auto plan = sim::ShapeReply(MeasurementReply(), 8, faults);
        QCOMPARE(plan.delayMs, 250);
        QCOMPARE(plan.bytesPerSecond, 960);
        QCOMPARE(sim::ShapeReply(MeasurementReply(), 7, faults).delayMs, 0);
    }

    void settingsSetOnOneThreadAreSeenOnAnother() {
        sim::Faults shared;
        sim::FaultSettings settings;
        settings.closeAfterReplies = On(3, 8);
        std::thread writer([&]() { shared.Set(settings); });
        writer.join();
        QCOMPARE(shared.Get().closeAfterReplies.value, 3);
        QCOMPARE(shared.Get().closeAfterReplies.order, 8);
        shared.Clear();
        QVERIFY(!shared.Get().closeAfterReplies.on);
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "TestFaults.moc"
