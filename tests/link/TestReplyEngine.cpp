// The reply rules in memory: what each stream of bytes makes of a request, whole or a byte at a
// time; silence told from a frame cut short; and the link proving itself in step again after an
// abnormal end, with every earlier frame dropped.
#include "link/LinkTexts.h"
#include "link/ReplyEngine.h"
#include "protocol/CheckByte.h"
#include "protocol/Orders.h"

#include <QtTest>

#include <vector>

using comm::ReplyEngine;
using protocol::Outcome;
using Bytes = std::vector<std::uint8_t>;
using Next = ReplyEngine::Next;

Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(Bytes)

namespace {

Bytes Frame(int code, std::size_t dataBytes, std::uint16_t status = 0) {
    return protocol::frame::EncodeFrameBytes(std::uint8_t(code), status, Bytes(dataBytes, 0x11));
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Feeds `stream` whole or a byte at a time, writing what the engine asks to be written into
// `written`, and passing over skipped frames. Returns what the engine said last.
Next Drive(ReplyEngine& engine, const Bytes& stream, bool byteByByte, std::vector<Bytes>* written,
           int* skippedFrames = nullptr) {
    Next next = Next::Receive;
    const std::size_t step = byteByByte ? 1 : stream.size();
    for (std::size_t at = 0; at < stream.size() && next != Next::Done; at += step) {
        next = engine.Feed(stream.data() + at, std::min(step, stream.size() - at));
        while (next == Next::Skipped || next == Next::WriteRequest) {
            if (next == Next::Skipped && skippedFrames) ++*skippedFrames;
            if (next == Next::WriteRequest && written) {
                const auto frame = engine.RequestFrame();
                written->emplace_back(frame.begin(), frame.end());
            }
            next = engine.Advance();
        }
    }
    return next;
}

Bytes Written(std::span<const std::uint8_t> frame) {
    return {frame.begin(), frame.end()};
}

Bytes RequestOf(int order, int argument = 0) {
    Bytes frame(protocol::frame::kHeaderSize);
    protocol::BuildRequestFrame(protocol::MakeRequest(std::uint8_t(order), std::uint16_t(argument)),
                                frame.data(), frame.size());
    return frame;
}

} // namespace

class TestReplyEngine : public QObject {
    Q_OBJECT

private slots:
    void eachStreamEndsTheExchangeAsItsRulesSay_data() {
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("argument");
        QTest::addColumn<Bytes>("stream");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("failure");
        using namespace protocol;
        namespace lt = comm::linktext;
        Bytes badHead = Frame(kOrderMeasure, 40);
        badHead[7] ^= 0x01;
        Bytes badData = Frame(kOrderMeasure, 40);
        badData[20] ^= 0xFF;
        // A head announcing 3000 bytes, its own check byte right.
        Bytes oversize = Frame(kOrderMeasure, 0);
        oversize[4] = 3000 & 0xFF;
        oversize[5] = 3000 >> 8;
        oversize[7] = ComputeCheckByte(oversize.data(), 0, 7);
        QTest::newRow("measurement") << 8 << 0 << Frame(8, 40) << Outcome::Reply << "";
        QTest::newRow("longer measurement") << 8 << 0 << Frame(8, 44) << Outcome::Reply << "";
        QTest::newRow("identification of any length")
            << 7 << 0 << Frame(7, 27) << Outcome::Reply << "";
        QTest::newRow("block 0") << 2 << 0 << Frame(2, 34) << Outcome::Reply << "";
        QTest::newRow("write acknowledged") << 1 << 2 << Frame(1, 0, 3) << Outcome::Reply << "";
        QTest::newRow("error reply")
            << 8 << 0 << Frame(0, 0, 2) << Outcome::ErrorReply << QString(lt::kControlUnitError);
        QTest::newRow("head check byte")
            << 8 << 0 << badHead << Outcome::BadHeader << QString(lt::kBadHeader);
        QTest::newRow("length beyond the buffer, judged at once")
            << 8 << 0 << oversize << Outcome::BadHeader << QString(lt::kBadHeader);
        QTest::newRow("data check byte")
            << 8 << 0 << badData << Outcome::BadData << QString(lt::kBadData);
        QTest::newRow("another order") << 102 << 0 << Frame(7, 27) << Outcome::OtherRequest
                                       << QString::fromStdString(lt::OtherOrderText(7, 102));
        QTest::newRow("table block for block 0")
            << 2 << 0 << Frame(2, 496) << Outcome::OtherRequest
            << QString::fromStdString(lt::OtherLengthText(2, 496, 34));
        QTest::newRow("short measurement")
            << 8 << 0 << Frame(8, 20) << Outcome::OtherRequest
            << QString::fromStdString(lt::OtherLengthText(8, 20, 40));
        QTest::newRow("data with a write's acknowledgement")
            << 3 << 0 << Frame(3, 2) << Outcome::OtherRequest
            << QString::fromStdString(lt::OtherLengthText(3, 2, 0));
    }
    void eachStreamEndsTheExchangeAsItsRulesSay() {
        QFETCH(int, order);
        QFETCH(int, argument);
        QFETCH(Bytes, stream);
        QFETCH(Outcome, outcome);
        QFETCH(QString, failure);
        for (const bool byteByByte : {false, true}) {
            ReplyEngine engine;
            QCOMPARE(Written(engine.Start(
                         protocol::MakeRequest(std::uint8_t(order), std::uint16_t(argument)))),
                     RequestOf(order, argument));
            QCOMPARE(Drive(engine, stream, byteByByte, nullptr), Next::Done);
            QCOMPARE(engine.Result(), outcome);
            QCOMPARE(QString::fromStdString(engine.Failure()), failure);
            const bool intact = outcome == Outcome::Reply || outcome == Outcome::ErrorReply;
            QCOMPARE(engine.InStep(), intact);
            if (outcome == Outcome::Reply)
                QCOMPARE(engine.Data().size(), stream.size() - protocol::frame::kHeaderSize);
        }
    }

    void silenceIsATimeOutAndPartOfAFrameIsShort() {
        for (const std::size_t got : {std::size_t(0), std::size_t(5), std::size_t(20)}) {
            ReplyEngine engine;
            engine.Start(protocol::MakeRequest(protocol::kOrderMeasure));
            Bytes part = Frame(8, 40);
            part.resize(got);
            if (got > 0) QCOMPARE(engine.Feed(part.data(), part.size()), Next::Receive);
            QCOMPARE(engine.Missing(), got < 8 ? 8 - got : 48 - got);
            engine.TimeUp();
            QCOMPARE(engine.Result(), got == 0 ? Outcome::TimedOut : Outcome::ShortFrame);
            QCOMPARE(engine.Failure(), std::string(comm::linktext::kTimeout));
            QVERIFY(!engine.InStep());
        }
    }

    // After the first request ended abnormally, the next goes out only once the link has proved
    // itself in step: frames that come before the probe's reply are dropped, whatever they are.
    void outOfStepTheLinkProvesItselfBeforeTheNextRequest_data() {
        QTest::addColumn<int>("failedOrder");
        QTest::addColumn<int>("nextOrder");
        QTest::addColumn<int>("nextArgument");
        QTest::addColumn<int>("probeOrder"); // 0: the next request is its own probe
        QTest::addColumn<Bytes>("late");
        QTest::addColumn<int>("dropped");
        const Bytes noise{0x55, 0x00, 0x13, 0x37};
        QTest::newRow("measurement after a measurement") << 8 << 8 << 0 << 7 << Frame(8, 40) << 1;
        QTest::newRow("block 0 after block 2") << 2 << 2 << 0 << 7 << Frame(2, 496) << 1;
        QTest::newRow("measurement after an identification, noise between")
            << 7 << 8 << 0 << 0 << Joined({Frame(7, 27), noise, Frame(7, 27)}) << 2;
        QTest::newRow("identification after an identification")
            << 7 << 7 << 0 << 102 << Frame(7, 27) << 1;
        QTest::newRow("a write after a measurement") << 8 << 1 << 0 << 7 << Frame(8, 40) << 1;
        QTest::newRow("nothing late at all") << 8 << 102 << 0 << 0 << Bytes{} << 0;
    }
    void outOfStepTheLinkProvesItselfBeforeTheNextRequest() {
        QFETCH(int, failedOrder);
        QFETCH(int, nextOrder);
        QFETCH(int, nextArgument);
        QFETCH(int, probeOrder);
        QFETCH(Bytes, late);
        QFETCH(int, dropped);
        ReplyEngine engine;
        engine.Start(protocol::MakeRequest(std::uint8_t(failedOrder), failedOrder == 2 ? 2 : 0));
        engine.TimeUp();
        const std::uint16_t block[17] = {};
        const auto payload = nextOrder == 1 ? std::span<const std::uint16_t>(block)
                                            : std::span<const std::uint16_t>();
        const auto next =
            protocol::MakeRequest(std::uint8_t(nextOrder), std::uint16_t(nextArgument), payload);
        const Bytes first = Written(engine.Start(next));
        QCOMPARE(int(first[1]), probeOrder ? probeOrder : nextOrder);
        QVERIFY(!engine.RequestSent() || probeOrder == 0);
        const std::size_t replyBytes =
            comm::ExpectedReplyLength(std::uint8_t(nextOrder), std::uint16_t(nextArgument)).least;
        Bytes stream = late;
        if (probeOrder) stream = Joined({stream, Frame(probeOrder, probeOrder == 102 ? 12 : 27)});
        stream = Joined({stream, Frame(nextOrder, replyBytes)});
        for (const bool byteByByte : {false, true}) {
            ReplyEngine copy = engine;
            std::vector<Bytes> written;
            int skipped = 0;
            QCOMPARE(Drive(copy, stream, byteByByte, &written, &skipped), Next::Done);
            QCOMPARE(copy.Result(), Outcome::Reply);
            QCOMPARE(int(copy.Header().code), nextOrder);
            QCOMPARE(skipped, dropped);
            QCOMPARE(int(written.size()), probeOrder ? 1 : 0);
            if (probeOrder) QCOMPARE(written.front()[1], std::uint8_t(nextOrder));
            QVERIFY(copy.InStep());
        }
    }

    void aFreshConnectionIsInStepAndAReopenedLineIsNot() {
        for (const bool fresh : {true, false}) {
            ReplyEngine engine;
            engine.Start(protocol::MakeRequest(protocol::kOrderMeasure));
            engine.TimeUp();
            engine.LinkOpened(fresh);
            QCOMPARE(engine.InStep(), fresh);
            const Bytes first =
                Written(engine.Start(protocol::MakeRequest(protocol::kOrderMeasure)));
            QCOMPARE(first[1], fresh ? protocol::kOrderMeasure : protocol::kOrderIdentify);
        }
    }

    // Frames pushed unasked are passed over; what comes behind the reply stays for the next.
    void pushedFramesArePassedOverAndWhatFollowsIsKept() {
        ReplyEngine engine;
        const comm::PushedFrames pushed{comm::PushedFrames::kAnyCode, 40};
        engine.Start(protocol::MakeRequest(protocol::kOrderTriggerSending, 0), &pushed);
        const Bytes stream = Joined({Frame(8, 40), Frame(8, 40), Frame(30, 0), Frame(8, 40)});
        int skipped = 0;
        QCOMPARE(Drive(engine, stream, false, nullptr, &skipped), Next::Done);
        QCOMPARE(engine.Result(), Outcome::Reply);
        QCOMPARE(skipped, 2);
        engine.Listen();
        QCOMPARE(engine.Advance(), Next::Done);
        QCOMPARE(engine.Result(), Outcome::Reply);
        QCOMPARE(engine.Data().size(), std::size_t(40));
    }
};

QTEST_MAIN(TestReplyEngine)
#include "TestReplyEngine.moc"
