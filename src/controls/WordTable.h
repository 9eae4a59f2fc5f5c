#pragma once
// Tables of unsigned 16-bit cells (teach, group and hold tables): value columns the operator
// edits and one colour column that only shows a row colour. Values written by the program never
// emit the table's change signal, so its handler runs only for the operator's edits.
#include <QComboBox>
#include <QStringList>
#include <QTableWidget>

#include <cstdint>
#include <utility>
#include <vector>

class QColor;

namespace core {

// A table named `objectName` with `rows` rows labelled by `rowLabels`, `valueColumns` editable
// word columns followed by one display-only colour column.
QTableWidget* MakeWordTable(const QString& objectName, int rows, int valueColumns,
                            const QStringList& rowLabels, QWidget* parent);

// Column widths for a table that has to fit a narrow page.
void SetWordTableWidths(QTableWidget* table, int valueWidth, int colourWidth);

// 0-based row and column. Reading an empty cell gives 0.
std::uint16_t CellWord(const QTableWidget* table, int row, int column);
void SetCellWord(QTableWidget* table, int row, int column, std::uint16_t value);
void SetCellBackground(QTableWidget* table, int row, int column, std::uint32_t rgb);
std::uint32_t CellBackground(const QTableWidget* table, int row, int column);
void SetRowLabelColour(QTableWidget* table, int row, std::uint32_t rgb);
std::uint32_t RowLabelColour(const QTableWidget* table, int row);

// Lists of coded choices: the item data carries the code.
using CodeItems = std::vector<std::pair<QString, std::uint16_t>>;
void FillCodes(QComboBox* combo, const CodeItems& items);
// Selects the item of `code`, or of `fallback` when no item has it. True when `code` was found.
bool SelectCode(QComboBox* combo, std::uint16_t code, std::uint16_t fallback);
std::uint16_t CurrentCode(const QComboBox* combo);

QColor ColourOf(std::uint32_t rgb);
std::uint32_t RgbOf(const QColor& colour);

} // namespace core
