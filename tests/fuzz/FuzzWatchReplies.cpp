// Arbitrary bytes as the line brings them to `watch`: the identification, then measurements, each
// judged by the reply engine, cut into pieces as the first byte says (which also says whether the
// rest is raw bytes or records of whole, intact frames: code, status, length, data, so that
// replies of every order and length get through the checks), and what is taken turned
// into the texts `watch` writes (the status and measurement JSON, the tsv/csv rows, the shell's
// words for a failure). Stops on a sanitizer report, on a measurement of fewer than 40 data bytes
// taken as a reply, or on a text that is not valid UTF-8 or holds a control character a terminal
// would obey.
#include "cli/RecordFormat.h"
#include "cli/ShellTexts.h"
#include "core/ShownText.h"
#include "link/ReplyEngine.h"
#include "link/ServerList.h"
#include "protocol/FrameCodec.h"
#include "protocol/MeasurementFrame.h"
#include "protocol/Orders.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Valid UTF-8 without a control character, a line end allowed at the end only.
void RequireShown(const std::string& text) {
    std::size_t end = text.size();
    if (end >= 2 && text.compare(end - 2, 2, "\r\n") == 0)
        end -= 2;
    else if (end >= 1 && text[end - 1] == '\n')
        end -= 1;
    for (std::size_t at = 0; at < end;) {
        std::uint32_t code = 0;
        const std::size_t length = core::Utf8SequenceAt(text, at, code);
        Require(length > 0);
        Require(!core::IsControl(code) || code == '\t');
        at += length;
    }
}

void RequireJsonObject(const std::string& json) {
    RequireShown(json);
    Require(json.size() >= 2 && json.front() == '{' && json.back() == '}');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t steer = data[0];
    const std::size_t piece = 1 + (steer & 0x1f); // bytes a read brings
    comm::ReplyEngine engine;
    engine.LinkOpened((steer & 0x80) != 0); // a fresh connection, or a reopened serial line

    std::uint8_t order = protocol::kOrderIdentify;
    engine.Start(protocol::MakeRequest(order));
    std::array<std::uint16_t, protocol::frame::kMaxDataBytes / 2> words{};
    protocol::MeasurementFrame measured{};
    const auto take = [&] {
        if (engine.Result() != protocol::Outcome::Reply) {
            RequireShown(cli::ShellReport(engine.Failure(), "sensor:10001", 3.0));
            return;
        }
        const auto reply = engine.Data();
        if (order == protocol::kOrderIdentify) {
            const std::string id =
                core::Utf8OfLatin1(comm::FirmwareIdFromReply(reply.data(), reply.size()));
            RequireJsonObject(cli::StatusJson("line-4", 1700000000000, true, id));
            RequireShown(core::Printable(id));
            return;
        }
        Require(reply.size() >= 40); // a short measurement is never a row
        const std::size_t count =
            protocol::frame::DecodeWords(reply.data(), reply.size(), words.data(), words.size());
        protocol::TakeMeasurementFrame(measured, words.data(), count);
        const cli::MeasurementRecord record{"line-4", 1700000000123, measured};
        RequireJsonObject(cli::MeasurementJson(record));
        RequireShown(cli::RecordLine(cli::Format::Tsv, record, true));
        RequireShown(cli::RecordLine(cli::Format::Csv, record, true));
    };

    // Records of intact frames: code, status, data length (a quarter of it when the code's top
    // bit is set, for the long blocks), then the data.
    std::vector<std::uint8_t> framed;
    if (steer & 0x40) {
        framed.push_back(steer);
        for (std::size_t r = 1; r + 3 <= size;) {
            const std::uint8_t code = data[r] & 0x7f;
            const std::size_t length = std::size_t(data[r + 2]) * ((data[r] & 0x80) ? 4 : 1);
            r += 3;
            const std::size_t taken = std::min(length, size - r);
            std::vector<std::uint8_t> bytes(data + r, data + r + taken);
            bytes.resize(length); // what the input lacks is zeros
            const auto frame = protocol::frame::EncodeFrameBytes(code, data[r - 2], bytes);
            framed.insert(framed.end(), frame.begin(), frame.end());
            r += taken;
        }
        data = framed.data();
        size = framed.size();
    }

    std::size_t at = 1;
    int exchanges = 0;
    while (exchanges < 64) {
        comm::ReplyEngine::Next next = comm::ReplyEngine::Next::Receive;
        if (at < size) {
            const std::size_t count = std::min(piece, size - at);
            next = engine.Feed(data + at, count);
            at += count;
        } else {
            engine.TimeUp(); // nothing more comes within the limit
            take();
            break;
        }
        while (next == comm::ReplyEngine::Next::Skipped ||
               next == comm::ReplyEngine::Next::WriteRequest)
            next = engine.Advance();
        if (next != comm::ReplyEngine::Next::Done) continue;
        take();
        ++exchanges;
        // As `watch` goes on: a failure rests and asks who is there again, a reply is followed
        // by the next measurement.
        order = engine.Result() == protocol::Outcome::Reply ? protocol::kOrderMeasure
                                                            : protocol::kOrderIdentify;
        engine.Start(protocol::MakeRequest(order));
    }
    return 0;
}
