#include "params/TeachTablePage.h"

#include "controls/WordTable.h"
#include "model/ParameterDefaults.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace params {

namespace {
constexpr int kValueWidth = 46;
constexpr int kColourWidth = 20;
constexpr int kColourColumn = TeachTablePage::kValueColumns; // column 6 to the operator
} // namespace

TeachTablePage::TeachTablePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TeachTablePage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* toolArea = new QWidget(this);
    toolLayout = new QVBoxLayout(toolArea);
    toolLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolArea);

    QStringList rows;
    for (int r = 0; r < protocol::kTeachRows; ++r)
        rows << QString::number(r);
    gridCtt = core::MakeWordTable(QStringLiteral("GridCtt"), protocol::kTeachRows, kValueColumns,
                                  rows, this);
    gridCtt->setAccessibleName(tr("teach table"));
    core::SetWordTableWidths(gridCtt, kValueWidth, kColourWidth);
    gridCtt->verticalHeader()->setMinimumWidth(24);
    SetHeadings({"X", "Y", "CTO", "INT", "ITO"});
    for (int r = 0; r < protocol::kTeachRows; ++r) {
        for (int c = 0; c < kValueColumns; ++c)
            SetCell(r, c, kDefaultTeachCell);
    }
    layout->addWidget(gridCtt, 1);

    connect(gridCtt, &QTableWidget::itemChanged, this, [this] { CBF_GridCtt(); });
    // The table offers its own menu only, none of the built-in commands.
    gridCtt->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gridCtt, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        emit ContextMenuRequested(gridCtt->viewport()->mapToGlobal(at));
    });
}

std::uint16_t TeachTablePage::Cell(int row, int column) const {
    return core::CellWord(gridCtt, row, column);
}

void TeachTablePage::SetCell(int row, int column, std::uint16_t value) {
    core::SetCellWord(gridCtt, row, column, value);
}

void TeachTablePage::SetHeadings(const QStringList& headings) {
    QStringList all = headings.mid(0, kValueColumns);
    while (all.size() < kValueColumns)
        all << QString();
    all << QString(); // the colour column has no heading
    gridCtt->setHorizontalHeaderLabels(all);
}

void TeachTablePage::SetRowLabels(const std::array<std::uint32_t, protocol::kTeachRows>& rows) {
    for (int r = 0; r < protocol::kTeachRows; ++r)
        core::SetRowLabelColour(gridCtt, r, rows[std::size_t(r)]);
}

void TeachTablePage::SetRowColours(const std::array<std::uint32_t, protocol::kTeachRows>& colours) {
    for (int r = 0; r < protocol::kTeachRows; ++r)
        core::SetCellBackground(gridCtt, r, kColourColumn, colours[std::size_t(r)]);
}

void TeachTablePage::AddTool(QWidget* tool) {
    toolLayout->addWidget(tool);
    // A tool may come after the page was measured for the window: measured again.
    toolLayout->parentWidget()->updateGeometry();
}

std::optional<TeachTablePage::Block> TeachTablePage::SelectedBlock() const {
    const auto ranges = gridCtt->selectedRanges();
    if (ranges.isEmpty()) return std::nullopt;
    const QTableWidgetSelectionRange& range = ranges.first();
    if (range.topRow() < 0 || range.leftColumn() < 0) return std::nullopt;
    return Block{range.topRow(), range.leftColumn(), range.rowCount(), range.columnCount()};
}

bool TeachTablePage::CellEditable(int row, int column) const {
    const QTableWidgetItem* item = gridCtt->item(row, column);
    return item && (item->flags() & Qt::ItemIsEditable);
}

void TeachTablePage::CBF_GridCtt() {
    emit CellsEdited();
}

} // namespace params
