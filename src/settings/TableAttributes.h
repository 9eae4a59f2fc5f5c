#pragma once
// Row attributes of the 31 teach rows: an indicator colour (0xRRGGBB) and a free row text (shown
// as the row specification). They live only on the PC, in the table attributes file and in the
// panel settings file. This file holds the data, its defaults, the INI sections, the file load and
// save, and where the colours are painted in the four tables; the widgets stay in the panel.
#include "model/FileIdentity.h"
#include "model/IniStore.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

namespace table_attributes {

inline constexpr int kRowCount = 31;
inline constexpr std::size_t kSpecificationLength = 99; // a 100-byte field with its terminator

using file_identity::kFileTypeKey;
using file_identity::kGeneralInfoSection;
using file_identity::kScopeVersion;
using file_identity::kScopeVersionKey;
inline constexpr const char* kFileType = "Table Attributes";
inline constexpr const char* kDefaultFileName = "TableAttributes.ini";
inline constexpr const char* kSectionPrefix = "TABLE ATTR OF TEACH VECTOR ";
inline constexpr const char* kColourKey = "Row color";
inline constexpr const char* kSpecificationKey = "Row specification";

// Operator texts of the table attributes page.
inline constexpr const char* kDialogTitle = "TableAttributes";
inline constexpr const char* kDialogFilter = "*.ini";
inline constexpr const char* kAttentionTitle = "ATTENTION!";
inline constexpr const char* kNoFileSelectedText = "No file was selected!";
inline constexpr const char* kNotATableAttributesFileQuestion =
    "Selected file is not a table attributes file! \nDo you want to proceed anyway?";
using file_identity::kScopeVersionQuestion;
inline constexpr const char* kNothingReadText = "No parameter where read!";
inline constexpr const char* kResetQuestion = "Do you really want to reset the table?";
inline constexpr const char* kReportTitle = "Attention!";
inline constexpr const char* kReportHeading =
    "Following teach vectors could not be read \nand where set to default value:\n\n";

} // namespace table_attributes

using RowColourTable = std::array<std::uint32_t, table_attributes::kRowCount>;

struct RowAttributes {
    RowColourTable colours{}; // 0xRRGGBB per teach vector
    std::array<std::string, table_attributes::kRowCount> rowTexts;
};

// Colour i of the built-in cycle of 15, repeated over the rows: row i gets colour (i mod 15).
std::uint32_t DefaultRowColour(int teachVector);
RowColourTable DefaultRowColourTable();
// Default colours and empty row texts: what the reset of the page leaves.
RowAttributes DefaultRowAttributes();

// Assigns a colour to one row; false (and nothing changed) for a row outside 0..30. Only the
// 24 colour bits are kept.
bool SetRowColour(RowAttributes& rows, int teachVector, std::uint32_t colour);

// "TABLE ATTR OF TEACH VECTOR " followed by the row number.
std::string RowAttributeSectionName(int teachVector);

// Puts the 31 row sections ("Row color", "Row specification") into an open store.
void PutRowAttributes(IniStore& store, const RowAttributes& rows);
// Reads the 31 row sections into `rows`. A row whose colour is absent, not an integer or not a
// 24-bit colour takes its default colour; an absent row text is empty, a longer one is cut
// to 99 characters. Returns the teach vectors whose colour was missing, in row order.
std::vector<int> ReadRowAttributes(const IniStore& store, RowAttributes& rows);
// The operator's report on rows whose colour was missing: the heading followed by one section
// name and a line feed per row. Empty when nothing was missing.
std::string MissingRowsReport(const std::vector<int>& missingRows);

// The whole table attributes file as INI text, and written to `path` (atomically, replacing it).
// The result is the INI store's (negative when the file could not be written).
std::string TableAttributesText(const RowAttributes& rows);
int SaveTableAttributesFile(const std::string& path, const RowAttributes& rows,
                            std::string* refusal = nullptr);

// A table attributes file read into a store, with its identification, so that the panel can ask
// its questions before the rows are taken over. An unreadable file gives an empty store.
struct TableAttributesContents : IdentifiedIniFile {
    bool TypeMatches() const { return fileType == table_attributes::kFileType; }
};
TableAttributesContents ReadTableAttributesFile(const std::string& path);

// The load of the page after the file was chosen: reads the file, asks whether to proceed for a
// foreign type and then for a foreign version (`askToProceed` gets the question text and answers
// yes with true), and on consent takes all 31 rows over. `report` is the text to show under
// kReportTitle, empty when every colour was found; on a refusal the rows are unchanged and
// the panel shows kNothingReadText.
struct TableAttributesLoad {
    bool loaded = false;
    std::string report;
    std::string refusal; // a path that is no regular file is not read; this says why
};
TableAttributesLoad LoadTableAttributes(const std::string& path, RowAttributes& rows,
                                        const std::function<bool(std::string_view)>& askToProceed);

// Colour-setting mode of the page.
enum class ColourMode : int { Manual = 0, Automatic = 1 };
// In automatic mode the manual colour controls are dimmed and the live swatch is shown.
struct ColourModeControls {
    bool rowSelectorEnabled = true;
    bool colourSelectorEnabled = true;
    bool setColourButtonEnabled = true;
    bool liveSwatchVisible = false;
};
ColourModeControls ControlsForColourMode(ColourMode mode);
// The colour a row has after it was taught: the live colour in automatic mode, else unchanged.
std::uint32_t RowColourAfterTeach(ColourMode mode, std::uint32_t current, std::uint32_t live);

// The four tables that show the row colours, and the cell (column, row, both from 1) that carries
// the colour of a teach vector in each. The hold table's row 1 is HOLD FAIL, so its rows are one
// lower than in the other three.
enum class ColourTable { Teach, RowTable, Group, Hold };
struct TableCell {
    int column = 0;
    int row = 0;
};
TableCell RowColourCell(ColourTable table, int teachVector);
// The teach vector shown in a table row, or nothing for a row that shows none.
std::optional<int> TeachVectorOfTableRow(ColourTable table, int tableRow);
// The colour to paint into a table row, or nothing for a row that shows no teach vector.
std::optional<std::uint32_t> RowColourOfTableRow(const RowColourTable& colours, ColourTable table,
                                                 int tableRow);

} // namespace settings
