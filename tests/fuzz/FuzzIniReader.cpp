// Feeds arbitrary bytes to the INI reader, writes what it understood and reads that again.
// Besides the sanitizers' checks it stops on any difference the round trip introduces.
#include "model/IniStore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace settings;

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "round trip broke: %s\n", what);
    std::abort();
}

void Check(bool condition, const char* what) {
    if (!condition) Fail(what);
}

// Everything a later get could see must come back; tags longer than a continued line's limit
// are cut on writing and so only compared from the second generation on.
void CompareStores(const IniStore& before, const IniStore& after, bool exact) {
    const auto& a = before.Sections();
    const auto& b = after.Sections();
    Check(a.size() == b.size(), "section count");
    for (std::size_t s = 0; s < a.size(); ++s) {
        Check(a[s].name == b[s].name, "section name");
        Check(a[s].items.size() == b[s].items.size(), "item count");
        for (std::size_t i = 0; i < a[s].items.size(); ++i) {
            const IniItem& x = a[s].items[i];
            const IniItem& y = b[s].items[i];
            Check(x.value == y.value, "value");
            if (exact) Check(x.quoted == y.quoted, "quoted flag");
            if (exact || x.tag.size() <= IniStore::kMaxContinuedTagLength) {
                Check(x.tag == y.tag, "tag");
            }
        }
    }
}

void ExerciseGets(const IniStore& store) {
    std::string text;
    std::int32_t number = 0;
    for (const auto& section : store.Sections()) {
        for (const auto& item : section.items) {
            // A later section of the same name is shadowed, so "not found" is possible here.
            store.GetStringIntoBuffer(section.name, item.tag, text, 8);
            Check(text.size() <= 7, "buffer cut");
            store.GetInt(section.name, item.tag, number);
        }
    }
}

IniStore ReadBack(const std::string& text, bool throughFile) {
    IniStore store;
    if (!throughFile) {
        Check(store.ReadFromText(text) == kIniOk, "read text");
        return store;
    }
    const std::string path = "/tmp/fuzz-ini-" + std::to_string(getpid()) + ".ini";
    IniStore writer;
    writer.ReadFromText(text);
    Check(writer.WriteToFile(path) == kIniOk, "write file");
    Check(store.ReadFromFile(path) == kIniOk, "read file");
    std::remove(path.c_str());
    return store;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniStore first;
    first.ReadFromText(bytes);
    ExerciseGets(first);

    // The raw bytes as a put string and a tag taken from them must survive too.
    const std::string raw(bytes);
    Check(first.PutString("fuzz raw value", "RAW", raw) == kIniOk, "put string");
    const std::string tag(bytes.substr(0, 40));
    const bool tagTaken = first.PutInt("fuzz raw value", tag, -2147483647 - 1) == kIniOk;

    const bool throughFile = size % 16 == 0;
    const IniStore second = ReadBack(first.WriteToText(), throughFile);
    CompareStores(first, second, false);
    std::string text;
    Check(second.GetString("FUZZ RAW VALUE", "raw", text) == kIniFound && text == raw, "raw");
    std::int32_t number = 0;
    if (tagTaken) {
        Check(second.GetInt("fuzz raw value", tag, number) == kIniFound, "tag from bytes");
        Check(number == -2147483647 - 1, "integer");
    }
    const IniStore third = ReadBack(second.WriteToText(), false);
    CompareStores(second, third, true);
    return 0;
}
