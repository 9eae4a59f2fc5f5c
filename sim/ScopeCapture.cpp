#include "sim/ScopeCapture.h"

#include "sim/ModelNames.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::uint16_t kScanPayloadBytes = 10;
constexpr std::uint16_t kHighestTriggerMode = 4;

} // namespace

std::optional<ScanOrder> ParseScanOrder(const Request& request) {
    if (request.order != kOrderScan) return std::nullopt;
    if (request.argument == 0) {
        if (request.payloadLength != 0) return std::nullopt;
        return ScanOrder{true, {}};
    }
    if (request.argument != 1 || request.payloadLength != kScanPayloadBytes ||
        !request.payloadIntact || request.raw.size() != frame::kHeaderSize + kScanPayloadBytes)
        return std::nullopt;
    std::uint16_t words[5] = {};
    frame::DecodeWords(request.Payload(), kScanPayloadBytes, words, 5);
    if (words[0] > kHighestTriggerMode || words[1] > ScopeCapture::kSamples || words[4] > 1)
        return std::nullopt;
    ScanOrder order;
    order.settings.trigger = static_cast<ScopeTrigger>(words[0]);
    order.settings.preTrigger = words[1];
    order.settings.level = words[2];
    order.settings.rate = std::max<int>(words[3], 1);
    order.settings.signal = words[4];
    return order;
}

ScopeCapture::ScopeCapture(const ScopeSettings& settings) : settings(settings) {}

const std::array<std::uint16_t, 3>& ScopeCapture::Channels(const ScopeSample& sample) const {
    return settings.signal == 0 ? sample.rgb : sample.coordinates;
}

bool ScopeCapture::Feed(const ScopeSample& sample) {
    if (complete) return true;
    if (skip > 0) {
        --skip;
        return false;
    }
    skip = settings.rate - 1;
    if (afterTrigger < 0 && Triggers(sample)) {
        triggerIndex =
            settings.trigger == ScopeTrigger::kSingleShot ? settings.preTrigger % kSamples : next;
        afterTrigger = 0;
    }
    previous = sample;
    if (afterTrigger < 0 || afterTrigger < kSamples - settings.preTrigger) {
        Store(sample);
        if (afterTrigger >= 0) ++afterTrigger;
    }
    complete = afterTrigger >= kSamples - settings.preTrigger;
    if (complete) PlaceTrigger();
    return complete;
}

void ScopeCapture::PlaceTrigger() {
    if (settings.triggerIndex < 0) return;
    const int wanted = settings.triggerIndex % kSamples;
    // As if the ring had started `shift` positions further on: every sample moves with it.
    const int shift = (wanted - triggerIndex + kSamples) % kSamples;
    for (auto& block : ring)
        std::rotate(block.begin(), block.end() - shift, block.end());
    triggerIndex = wanted;
}

bool ScopeCapture::Triggers(const ScopeSample& sample) const {
    // Armed only once the pre-trigger part holds real samples.
    if (stored < settings.preTrigger) return false;
    if (settings.trigger == ScopeTrigger::kSingleShot) return true;
    if (!previous) return false;
    const int before = Channels(*previous)[2];
    const int now = Channels(sample)[2];
    switch (settings.trigger) {
    case ScopeTrigger::kRisingEdge:
        return before <= settings.level && now > settings.level;
    case ScopeTrigger::kFallingEdge:
        return before >= settings.level && now < settings.level;
    case ScopeTrigger::kColourZero:
        return previous->colourNumber != 0 && sample.colourNumber == 0;
    case ScopeTrigger::kInput0:
        return !(previous->digital & kDigitalInput0) && (sample.digital & kDigitalInput0);
    case ScopeTrigger::kSingleShot:
        break;
    }
    return false;
}

void ScopeCapture::Store(const ScopeSample& sample) {
    const auto& channels = Channels(sample);
    for (int i = 0; i < 3; ++i)
        ring[i][next] = channels[i];
    ring[3][next] = sample.digital;
    next = (next + 1) % kSamples;
    stored = std::min(stored + 1, kSamples);
}

std::vector<std::uint16_t> ScopeCapture::BlockWords(int block) const {
    std::vector<std::uint16_t> words(ring[block].begin(), ring[block].end());
    words.push_back(static_cast<std::uint16_t>(triggerIndex));
    return words;
}

std::vector<std::vector<std::uint8_t>> ScopeCapture::Frames() const {
    std::vector<std::vector<std::uint8_t>> frames;
    for (int block = 0; block < kBlocks; ++block)
        frames.push_back(frame::EncodeFrameWords(kOrderScan, 0, BlockWords(block)));
    return frames;
}

} // namespace sim
