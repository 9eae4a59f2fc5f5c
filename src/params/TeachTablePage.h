#pragma once
// The teach-table page: the teach table (31 rows labelled 0..30, five value columns whose
// headings follow the calculation and evaluation modes, one row-colour column). The teach
// operations put their controls into the tool area above the table.
#include "protocol/ParameterImage.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class QTableWidget;
class QVBoxLayout;

namespace params {

class TeachTablePage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kValueColumns = 5;

    explicit TeachTablePage(QWidget* parent = nullptr);

    // Cell `column` (0..4) of teach row `row`.
    std::uint16_t Cell(int row, int column) const;
    void SetCell(int row, int column, std::uint16_t value);
    // Headings of the five value columns; an empty text hides a heading.
    void SetHeadings(const QStringList& headings);
    void SetRowLabels(const std::array<std::uint32_t, protocol::kTeachRows>& rows);
    void SetRowColours(const std::array<std::uint32_t, protocol::kTeachRows>& colours);
    // A teach operation's controls, above the table.
    void AddTool(QWidget* tool);

    // The selected block of cells, in reading order, and writing it back.
    struct Block {
        int top = 0, left = 0, rows = 0, columns = 0;
    };
    std::optional<Block> SelectedBlock() const;
    bool CellEditable(int row, int column) const;

    void CBF_GridCtt();

signals:
    // The operator changed a cell.
    void CellsEdited();
    // A right click on the table asks for its context menu, at this global position.
    void ContextMenuRequested(const QPoint& globalPosition);

private:
    QTableWidget* gridCtt;
    QVBoxLayout* toolLayout;
};

} // namespace params
