#include "settings/TableAttributes.h"

namespace settings {

namespace {

using namespace table_attributes;

constexpr std::uint32_t kColourMask = 0xFFFFFF;

constexpr std::array<std::uint32_t, 15> kDefaultCycle = {
    0xFF0000, 0x80FF00, 0x0000FF, 0x000000, 0xFF80C0, 0xFFFF00, 0x808000, 0x800080,
    0x80FFFF, 0xFF0080, 0x400080, 0xFF00FF, 0x008000, 0x408080, 0x800000,
};

bool IsTeachVector(int teachVector) {
    return teachVector >= 0 && teachVector < kRowCount;
}

// A stored colour must be a 24-bit value; anything else cannot be a colour the page set.
std::optional<std::uint32_t> StoredColour(const IniStore& store, const std::string& section) {
    std::int32_t value = 0;
    if (store.GetInt(section, kColourKey, value) != kIniFound) return std::nullopt;
    if (value < 0 || std::uint32_t(value) > kColourMask) return std::nullopt;
    return std::uint32_t(value);
}

} // namespace

std::uint32_t DefaultRowColour(int teachVector) {
    const int count = int(kDefaultCycle.size());
    return kDefaultCycle[std::size_t(((teachVector % count) + count) % count)];
}

RowColourTable DefaultRowColourTable() {
    RowColourTable colours{};
    for (int i = 0; i < kRowCount; ++i)
        colours[std::size_t(i)] = DefaultRowColour(i);
    return colours;
}

RowAttributes DefaultRowAttributes() {
    RowAttributes rows;
    rows.colours = DefaultRowColourTable();
    return rows;
}

bool SetRowColour(RowAttributes& rows, int teachVector, std::uint32_t colour) {
    if (!IsTeachVector(teachVector)) return false;
    rows.colours[std::size_t(teachVector)] = colour & kColourMask;
    return true;
}

std::string RowAttributeSectionName(int teachVector) {
    return kSectionPrefix + std::to_string(teachVector);
}

void PutRowAttributes(IniStore& store, const RowAttributes& rows) {
    for (int i = 0; i < kRowCount; ++i) {
        const std::string section = RowAttributeSectionName(i);
        const auto row = std::size_t(i);
        store.PutInt(section, kColourKey, std::int32_t(rows.colours[row] & kColourMask));
        store.PutString(section, kSpecificationKey, rows.rowTexts[row]);
    }
}

std::vector<int> ReadRowAttributes(const IniStore& store, RowAttributes& rows) {
    std::vector<int> missing;
    for (int i = 0; i < kRowCount; ++i) {
        const std::string section = RowAttributeSectionName(i);
        const auto row = std::size_t(i);
        const auto colour = StoredColour(store, section);
        rows.colours[row] = colour.value_or(DefaultRowColour(i));
        if (!colour) missing.push_back(i);
        std::string& text = rows.rowTexts[row];
        if (store.GetStringIntoBuffer(section, kSpecificationKey, text, kSpecificationLength + 1) !=
            kIniFound)
            text.clear();
    }
    return missing;
}

std::string MissingRowsReport(const std::vector<int>& missingRows) {
    if (missingRows.empty()) return {};
    std::string report = kReportHeading;
    for (int row : missingRows)
        report += RowAttributeSectionName(row) + "\n";
    return report;
}

namespace {

IniStore TableAttributesStore(const RowAttributes& rows) {
    IniStore store;
    PutFileIdentity(store, kFileType);
    PutRowAttributes(store, rows);
    return store;
}

} // namespace

std::string TableAttributesText(const RowAttributes& rows) {
    return TableAttributesStore(rows).WriteToText();
}

int SaveTableAttributesFile(const std::string& path, const RowAttributes& rows,
                            std::string* refusal) {
    return TableAttributesStore(rows).WriteToFile(path, refusal);
}

TableAttributesContents ReadTableAttributesFile(const std::string& path) {
    return {ReadIdentifiedIniFile(path)};
}

TableAttributesLoad LoadTableAttributes(const std::string& path, RowAttributes& rows,
                                        const std::function<bool(std::string_view)>& askToProceed) {
    const TableAttributesContents contents = ReadTableAttributesFile(path);
    if (!contents.refusal.empty()) return {false, {}, contents.refusal};
    if (!contents.TypeMatches() && !askToProceed(kNotATableAttributesFileQuestion)) return {};
    if (!contents.VersionMatches() && !askToProceed(kScopeVersionQuestion)) return {};
    TableAttributesLoad load;
    load.loaded = true;
    load.report = MissingRowsReport(ReadRowAttributes(contents.store, rows));
    return load;
}

ColourModeControls ControlsForColourMode(ColourMode mode) {
    const bool manual = mode != ColourMode::Automatic;
    return {manual, manual, manual, !manual};
}

std::uint32_t RowColourAfterTeach(ColourMode mode, std::uint32_t current, std::uint32_t live) {
    return mode == ColourMode::Automatic ? (live & kColourMask) : current;
}

TableCell RowColourCell(ColourTable table, int teachVector) {
    switch (table) {
    case ColourTable::Teach:
        return {6, teachVector + 1};
    case ColourTable::Hold:
        return {2, teachVector + 2};
    case ColourTable::RowTable:
    case ColourTable::Group:
        break;
    }
    return {2, teachVector + 1};
}

std::optional<int> TeachVectorOfTableRow(ColourTable table, int tableRow) {
    const int teachVector = tableRow - RowColourCell(table, 0).row;
    if (!IsTeachVector(teachVector)) return std::nullopt;
    return teachVector;
}

std::optional<std::uint32_t> RowColourOfTableRow(const RowColourTable& colours, ColourTable table,
                                                 int tableRow) {
    const auto teachVector = TeachVectorOfTableRow(table, tableRow);
    if (!teachVector) return std::nullopt;
    return colours[std::size_t(*teachVector)];
}

} // namespace settings
