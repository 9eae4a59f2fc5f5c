#include "controls/WordTable.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include <algorithm>

namespace core {

namespace {

constexpr int kWordMax = 65535;

// Editing a cell offers exactly the values a word can carry.
class WordCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QSpinBox(parent);
        editor->setRange(0, kWordMax);
        editor->setFrame(false);
        editor->setButtonSymbols(QAbstractSpinBox::NoButtons);
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return editor;
    }
};

QTableWidgetItem* ItemAt(QTableWidget* table, int row, int column) {
    QTableWidgetItem* item = table->item(row, column);
    if (item) return item;
    item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table->setItem(row, column, item);
    return item;
}

} // namespace

QColor ColourOf(std::uint32_t rgb) {
    return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

std::uint32_t RgbOf(const QColor& colour) {
    return std::uint32_t(colour.rgb()) & 0xFFFFFFu;
}

QTableWidget* MakeWordTable(const QString& objectName, int rows, int valueColumns,
                            const QStringList& rowLabels, QWidget* parent) {
    auto* table = new QTableWidget(rows, valueColumns + 1, parent);
    table->setObjectName(objectName);
    table->setItemDelegate(new WordCellDelegate(table));
    table->setVerticalHeaderLabels(rowLabels);
    table->verticalHeader()->setDefaultSectionSize(20);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setHighlightSections(false);
    table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    const QSignalBlocker blocker(table);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < valueColumns; ++c)
            ItemAt(table, r, c)->setData(Qt::EditRole, 0);
        auto* colour = ItemAt(table, r, valueColumns);
        colour->setFlags(Qt::ItemIsEnabled);
        colour->setBackground(Qt::white);
    }
    for (int r = 0; r < rows; ++r) {
        auto* label = new QTableWidgetItem(r < rowLabels.size() ? rowLabels[r] : QString());
        table->setVerticalHeaderItem(r, label);
    }
    return table;
}

void SetWordTableWidths(QTableWidget* table, int valueWidth, int colourWidth) {
    // Value columns share the width there is; the colour column keeps its own.
    auto* header = table->horizontalHeader();
    header->setMinimumSectionSize(std::min(valueWidth, colourWidth));
    const int last = table->columnCount() - 1;
    for (int c = 0; c < last; ++c) {
        table->setColumnWidth(c, valueWidth);
        header->setSectionResizeMode(c, QHeaderView::Stretch);
    }
    header->setSectionResizeMode(last, QHeaderView::Fixed);
    table->setColumnWidth(last, colourWidth);
}

std::uint16_t CellWord(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    if (!item) return 0;
    bool ok = false;
    const qlonglong value = item->data(Qt::EditRole).toLongLong(&ok);
    if (!ok) return 0;
    return static_cast<std::uint16_t>(std::clamp<qlonglong>(value, 0, kWordMax));
}

void SetCellWord(QTableWidget* table, int row, int column, std::uint16_t value) {
    const QSignalBlocker blocker(table);
    ItemAt(table, row, column)->setData(Qt::EditRole, int(value));
}

void SetCellBackground(QTableWidget* table, int row, int column, std::uint32_t rgb) {
    const QSignalBlocker blocker(table);
    ItemAt(table, row, column)->setBackground(ColourOf(rgb));
}

std::uint32_t CellBackground(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    if (!item || item->background().style() == Qt::NoBrush) return 0xFFFFFF;
    return RgbOf(item->background().color());
}

void SetRowLabelColour(QTableWidget* table, int row, std::uint32_t rgb) {
    QTableWidgetItem* label = table->verticalHeaderItem(row);
    if (!label) return;
    const QSignalBlocker blocker(table);
    label->setForeground(ColourOf(rgb));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
}

std::uint32_t RowLabelColour(const QTableWidget* table, int row) {
    const QTableWidgetItem* label = table->verticalHeaderItem(row);
    if (!label || label->foreground().style() == Qt::NoBrush) return 0;
    return RgbOf(label->foreground().color());
}

void FillCodes(QComboBox* combo, const CodeItems& items) {
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (const auto& [label, code] : items)
        combo->addItem(label, int(code));
}

bool SelectCode(QComboBox* combo, std::uint16_t code, std::uint16_t fallback) {
    const QSignalBlocker blocker(combo);
    int index = combo->findData(int(code));
    const bool found = index >= 0;
    if (!found) index = combo->findData(int(fallback));
    if (index < 0) index = 0;
    combo->setCurrentIndex(index);
    return found;
}

std::uint16_t CurrentCode(const QComboBox* combo) {
    bool ok = false;
    const int code = combo->currentData().toInt(&ok);
    return ok ? static_cast<std::uint16_t>(std::clamp(code, 0, kWordMax)) : 0;
}

} // namespace core
