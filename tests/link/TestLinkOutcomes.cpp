// What the typed exchange gives back, over TCP/IP and over a pseudo-terminal alike: each kind of
// failure as its own outcome with the operator's text, a late reply never taken for the next
// request, and the one way to stop (a read abandoned on a close, a write finished, only clean-up
// orders once the gate is closed).
#include "LinkFixture.h"
#include "link/LinkTexts.h"
#include "protocol/Orders.h"
#include "support/RunTests.h"

#include <QtTest>

#include <array>

using sim::FaultSettings;

Q_DECLARE_METATYPE(protocol::Outcome)

namespace {

struct FailureCase {
    const char* name;
    sim::Fault FaultSettings::*fault;
    int value;
    int order; // the order asked
    Outcome outcome;
    std::string log; // what the operator reads, without the closing blank line
};

const std::vector<FailureCase>& FailureCases() {
    static const std::vector<FailureCase> cases = {
        {"reply", nullptr, 0, 8, Outcome::Reply, ""},
        {"error reply, invalid order", &FaultSettings::errorReply, 1, 8, Outcome::ErrorReply,
         linktext::kInvalidOrder},
        {"error reply, control unit", &FaultSettings::errorReply, 2, 8, Outcome::ErrorReply,
         linktext::kControlUnitError},
        {"error reply, unknown status", &FaultSettings::errorReply, 3, 8, Outcome::ErrorReply,
         "ERROR REPLY WITH UNKNOWN STATUS 3!\nVERIFY PC AND SENSOR SOFTWARE!"},
        {"order the sensor does not know", nullptr, 0, 77, Outcome::ErrorReply,
         linktext::kInvalidOrder},
        {"silence", &FaultSettings::silence, 0, 8, Outcome::TimedOut, linktext::kTimeout},
        {"header cut short", &FaultSettings::cutAfterBytes, 5, 8, Outcome::ShortFrame,
         linktext::kTimeout},
        {"data cut short", &FaultSettings::cutAfterBytes, 20, 8, Outcome::ShortFrame,
         linktext::kTimeout},
        {"header check byte", &FaultSettings::badHeadCheck, 0, 8, Outcome::BadHeader,
         linktext::kBadHeader},
        {"length beyond the buffer", &FaultSettings::oversizeLength, 3000, 8, Outcome::BadHeader,
         linktext::kBadHeader},
        {"data check byte", &FaultSettings::badDataCheck, 0, 8, Outcome::BadData,
         linktext::kBadData},
    };
    return cases;
}

} // namespace

class TestLinkOutcomes : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> f;

    void Open(const QString& transport) {
        f = std::make_unique<LinkFixture>();
        QVERIFY(transport == "tcp" ? f->ConnectTcp() : f->OpenPty());
    }

    static void AddTransports() {
        QTest::addColumn<QString>("transport");
        QTest::newRow("tcp") << QStringLiteral("tcp");
        QTest::newRow("pty") << QStringLiteral("pty");
    }

private slots:
    void cleanup() { f.reset(); }

    void eachKindOfReplyComesBackAsItsOwnOutcome_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("which");
        for (const char* transport : {"tcp", "pty"}) {
            const auto& cases = FailureCases();
            for (std::size_t i = 0; i < cases.size(); ++i)
                QTest::addRow("%s: %s", transport, cases[i].name)
                    << QString::fromLatin1(transport) << int(i);
        }
    }
    void eachKindOfReplyComesBackAsItsOwnOutcome() {
        QFETCH(QString, transport);
        QFETCH(int, which);
        const FailureCase& c = FailureCases()[std::size_t(which)];
        Open(transport);
        if (c.fault) f->SetFault(c.fault, c.value);
        // Here a time-out is the point, not its moment: the real limit is waited out once per
        // transport, in TestSensorLinkTcp and TestSensorLinkPty.
        if (c.outcome == Outcome::TimedOut)
            f->ShortReplyLimit();
        else if (c.outcome == Outcome::ShortFrame)
            f->PartReplyLimit();
        else
            f->LongReplyLimit();
        const Reply reply = f->Exchange(c.order);
        QCOMPARE(reply.outcome, c.outcome);
        QCOMPARE(f->view.log, c.log.empty() ? std::string() : c.log + "\n\n");
        if (c.outcome == Outcome::Reply) {
            QCOMPARE(int(reply.code), c.order);
            QVERIFY(reply.words.size() >= protocol::MeasurementFrame::kWords);
            QCOMPARE(f->view.reports, 0);
            return;
        }
        // Every failure and error reply reaches the operator the same way.
        QCOMPARE(f->view.statusLine, std::string(linktext::kStatusTimeout));
        QCOMPARE(f->view.communicationPageShown, 1);
        QVERIFY(f->view.linkButtonsDimmed);
        QCOMPARE(f->view.reports, 1);
        if (c.outcome == Outcome::ErrorReply) QCOMPARE(int(reply.status), c.value ? c.value : 1);
        // The link is still usable.
        f->simulator.ClearFaults();
        f->LongReplyLimit();
        QVERIFY(f->Exchange(8).Ok());
    }

    // A request times out and its reply comes late, before the next request goes out or once it
    // has: of the same order, and for a measurement of the same length too, the late reply is
    // dropped and the next request gets its own.
    void aLateReplyIsNeverTakenForTheNextRequest_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<bool>("measurement"); // else parameter block 0 after table block 2
        QTest::addColumn<bool>("afterTheNext");
        for (const char* transport : {"tcp", "pty"})
            for (const bool measurement : {false, true})
                for (const bool after : {false, true})
                    QTest::addRow("%s: %s, late reply %s the next request", transport,
                                  measurement ? "measurement" : "block 0 after block 2",
                                  after ? "after" : "before")
                        << QString::fromLatin1(transport) << measurement << after;
    }
    void aLateReplyIsNeverTakenForTheNextRequest() {
        QFETCH(QString, transport);
        QFETCH(bool, measurement);
        QFETCH(bool, afterTheNext);
        Open(transport);
        // The late measurement is of an object with no blue; each measurement after it moves
        // the object 8 % of the way to grey, so the next one has blue.
        if (measurement) {
            f->simulator.SetRawSpread(3000);
            for (int turn = 0; turn < 80; ++turn)
                QVERIFY(f->Exchange(protocol::kOrderMeasure).Ok());
        }
        f->SetFault(&FaultSettings::hold, 0, sim::kAllOrders);
        f->ShortReplyLimit();
        const int order = measurement ? protocol::kOrderMeasure : protocol::kOrderReadBlock;
        QCOMPARE(f->Exchange(order, measurement ? 0 : 2).outcome, Outcome::TimedOut);
        f->LongReplyLimit();
        f->view.log.clear();
        if (measurement) f->simulator.SetRawSpread(0);
        const auto releaseAll = [this] {
            f->simulator.ClearFaults();
            while (f->simulator.ReleaseHeldReply() > 0) {
            }
        };
        QObject owner;
        bool missed = false;
        const std::size_t asked = f->simulator.RequestLog().size();
        if (!afterTheNext) {
            const int late = f->simulator.ReleaseHeldReply();
            f->simulator.ClearFaults();
            QVERIFY(late > 0);
            QVERIFY(f->WaitForBytesAtLink(late));
        } else {
            support::WhenReady(
                &owner, [&] { return f->simulator.RequestLog().size() > asked; }, releaseAll,
                [&] {
                    missed = true;
                    releaseAll();
                });
        }
        const Reply reply = f->Exchange(order, 0);
        QVERIFY(!missed);
        QCOMPARE(reply.outcome, Outcome::Reply);
        QVERIFY(f->view.log.empty());
        if (measurement) {
            QCOMPARE(reply.data.size(), std::size_t(2 * protocol::MeasurementFrame::kWords));
            QVERIFY(reply.words[protocol::MeasurementFrame::kRawBlue] > 60);
            return;
        }
        const auto block0 = f->simulator.RamImage()[0].parameters;
        QCOMPARE(reply.words.size(), block0.size());
        QVERIFY(std::equal(block0.begin(), block0.end(), reply.words.begin()));
    }

    void aCloseAbandonsTheWaitForAReadButAStopOrAWriteIsWaitedFor_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("cause");
        QTest::addColumn<protocol::Outcome>("outcome");
        const int read = protocol::kOrderMeasure;
        const int write = protocol::kOrderStoreEeprom;
        const int stop = int(core::StopCause::Operator);
        const int lost = int(core::StopCause::LinkLost);
        const int close = int(core::StopCause::Closing);
        for (const char* transport : {"tcp", "pty"}) {
            const QString t = QString::fromLatin1(transport);
            QTest::addRow("%s: read, STOP", transport) << t << read << stop << Outcome::Reply;
            QTest::addRow("%s: read, link lost", transport)
                << t << read << lost << Outcome::Cancelled;
            QTest::addRow("%s: read, close", transport) << t << read << close << Outcome::Cancelled;
            QTest::addRow("%s: write, close", transport) << t << write << close << Outcome::Reply;
        }
    }
    void aCloseAbandonsTheWaitForAReadButAStopOrAWriteIsWaitedFor() {
        QFETCH(QString, transport);
        QFETCH(int, order);
        QFETCH(int, cause);
        QFETCH(protocol::Outcome, outcome);
        Open(transport);
        // The reply is held until the turn of the event loop after the stop, and the wait has no
        // limit of its own to reach: a wait that is given up has ended by then, one that is
        // waited for takes the reply.
        const bool givenUp = outcome == Outcome::Cancelled;
        f->SetFault(&FaultSettings::hold, 0, order);
        f->LongReplyLimit();
        bool missed = false;
        Reply reply;
        f->gate.Run("TEST", [&] {
            QObject owner; // what it has not run yet is dropped when the exchange is over
            support::WhenReady(
                &owner, [&] { return f->Asked(order) > 0; },
                [&] {
                    f->gate.Stop(core::StopCause(cause));
                    support::WhenReady(
                        &owner, [] { return true; }, [this] { f->simulator.ReleaseHeldReply(); },
                        [] {});
                },
                [&] {
                    missed = true;
                    f->simulator.ReleaseHeldReply();
                });
            reply = f->Exchange(order);
        });
        QVERIFY(!missed);
        QCOMPARE(reply.outcome, outcome);
        // A stop is no failure: nothing is reported.
        QVERIFY(f->view.log.empty());
        QCOMPARE(f->view.reports, 0);
        // What comes too late for an abandoned read is not taken by the next one.
        f->link->WatchGate(nullptr);
        f->simulator.ClearFaults();
        if (givenUp) {
            const int late = f->simulator.ReleaseHeldReply();
            QVERIFY(late > 0);
            QVERIFY(f->WaitForBytesAtLink(late));
        }
        const Reply next = f->Exchange(protocol::kOrderReadCalibration);
        QCOMPARE(next.outcome, Outcome::Reply);
        QCOMPARE(int(next.code), int(protocol::kOrderReadCalibration));
    }

    void onceClosedOnlyCleanUpOrdersAndTheRestOfAWriteGoOut_data() { AddTransports(); }
    void onceClosedOnlyCleanUpOrdersAndTheRestOfAWriteGoOut() {
        QFETCH(QString, transport);
        Open(transport);
        const std::array<std::uint16_t, 3> factors{1024, 1024, 1024};
        std::vector<Outcome> outcomes;
        f->gate.Run("TEST", [&] {
            const SensorLink::WriteScope write(*f->link);
            outcomes.push_back(f->Exchange(protocol::kOrderWriteCalibration, 0, factors).outcome);
            f->gate.Close();
            // The rest of the write goes out; a read does not.
            outcomes.push_back(f->Exchange(protocol::kOrderStoreEeprom).outcome);
        });
        outcomes.push_back(f->Exchange(protocol::kOrderMeasure).outcome);
        {
            // A write that had not begun before the close does not begin.
            const SensorLink::WriteScope write(*f->link);
            outcomes.push_back(f->Exchange(protocol::kOrderStoreEeprom).outcome);
        }
        outcomes.push_back(f->Exchange(protocol::kOrderScan, protocol::kStop).outcome);
        outcomes.push_back(f->Exchange(protocol::kOrderTriggerSending, protocol::kStop).outcome);
        const std::vector<Outcome> expected = {Outcome::Reply,     Outcome::Reply,
                                               Outcome::Cancelled, Outcome::Cancelled,
                                               Outcome::Reply,     Outcome::Reply};
        QCOMPARE(outcomes, expected);
        std::vector<int> seen;
        for (const auto& request : f->simulator.RequestLog())
            seen.push_back(request.order);
        const std::vector<int> sent = {protocol::kOrderWriteCalibration,
                                       protocol::kOrderStoreEeprom, protocol::kOrderScan,
                                       protocol::kOrderTriggerSending};
        QCOMPARE(seen, sent);
    }

    void aLinkThatGoesAwayDuringTheWaitEndsItAtOnce_data() { AddTransports(); }
    void aLinkThatGoesAwayDuringTheWaitEndsItAtOnce() {
        QFETCH(QString, transport);
        Open(transport);
        f->SetFault(&FaultSettings::silence);
        // Only the link going away can end this wait, and a turn of the event loop after the
        // link is seen closed finds the wait still running only if it did not end at once.
        f->LongReplyLimit();
        QObject owner;
        bool lingered = false;
        support::WhenReady(
            &owner, [this] { return f->Asked(protocol::kOrderMeasure) > 0; },
            [this] { f->simulator.Stop(); }, [] {});
        support::WhenReady(
            &owner, [this] { return !f->link->LinkOpen(); },
            [&] {
                support::WhenReady(
                    &owner, [] { return true; }, [&] { lingered = true; }, [] {});
            },
            [] {});
        const Reply reply = f->Exchange(protocol::kOrderMeasure);
        QVERIFY(!lingered);
        QCOMPARE(reply.outcome, Outcome::Closed);
        // Told once, in the words of the link that went away.
        QCOMPARE(f->view.log,
                 std::string(transport == "tcp" ? linktext::kServerClosed : linktext::kSerialLost) +
                     "\n\n");
        QCOMPARE(f->view.losses, 1);
        QVERIFY(!f->link->LinkOpen());
    }

    void anExchangeAskedForInsideTheWaitOfAnotherIsRefused_data() { AddTransports(); }
    void anExchangeAskedForInsideTheWaitOfAnotherIsRefused() {
        QFETCH(QString, transport);
        Open(transport);
        // The outer reply is held until the inner exchange has been asked for.
        f->SetFault(&FaultSettings::hold, 0, protocol::kOrderMeasure);
        f->LongReplyLimit();
        QObject owner;
        bool missed = false;
        Outcome inner = Outcome::Reply;
        support::WhenReady(
            &owner, [this] { return f->Asked(protocol::kOrderMeasure) > 0; },
            [&] {
                inner = f->Exchange(protocol::kOrderIdentify).outcome;
                f->simulator.ReleaseHeldReply();
            },
            [&] {
                missed = true;
                f->simulator.ReleaseHeldReply();
            });
        const Reply outer = f->Exchange(protocol::kOrderMeasure);
        QVERIFY(!missed);
        QCOMPARE(inner, Outcome::Busy);
        QCOMPARE(outer.outcome, Outcome::Reply);
        QCOMPARE(f->view.statusLine, std::string(linktext::kExchangeBusy));
    }

    void anExchangeWithoutAnOpenLinkFailsAtOnce() {
        LinkFixture fresh;
        const Reply reply = fresh.Exchange(protocol::kOrderMeasure);
        QCOMPARE(reply.outcome, Outcome::Closed);
        QCOMPARE(fresh.view.log, std::string(linktext::kTimeout) + linktext::kLinkNotOpen + "\n\n");
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunTests<TestLinkOutcomes>(argc, argv);
}
#include "TestLinkOutcomes.moc"
