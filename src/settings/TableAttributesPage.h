#pragma once
// The table attributes page (main tab page 6): the colour and row text of each teach row,
// the colour-setting mode, and saving, loading and resetting the row attributes.
#include "core/AppState.h"
#include "settings/TableAttributes.h"

#include <QWidget>

#include <cstdint>

class QComboBox;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace core {
class OperatorDialogs;
}

namespace settings {

class ColourSelector;

class TableAttributesPage : public QWidget {
    Q_OBJECT
public:
    // Columns of the row table: the row text first, then the cell that carries the colour; the
    // teach vector number is the row header.
    enum Column { kSpecificationColumn = 0, kColourColumn = 1 };

    TableAttributesPage(core::AppState& state, core::OperatorDialogs& dialogs,
                        QWidget* parent = nullptr);

    ColourMode Mode() const;
    // The rows as the page shows them. Also takes the colours into the row colour table, so
    // that what is saved and what is painted agree.
    RowAttributes CollectRows();
    // Shows all rows and takes their colours into the row colour table.
    void ShowRows(const RowAttributes& rows);
    // Gives one teach vector a colour everywhere it is shown (Set row colour, and the live
    // colour of a row taught in automatic mode).
    void AssignRowColour(int teachVector, std::uint32_t colour);
    // Tells again what the page decides for other pages: the row colours and whether the live
    // swatch shows (once they are wired).
    void PublishState();
    // Active rows of the teach table (dark green labels), the others red.
    void SetRowLabels(const core::RowColours& labels);

    void CBF_EditSetColor();
    void CBF_EditRow();
    void CBF_EditColorNumericRow();
    void CBF_ButtonSetRowColor();
    void CBF_ButtonSaveArray();
    void CBF_ButtonGetArray();
    void CBF_ButtonTableAttrReset();

signals:
    // The row colour table changed: the tables of other pages paint their colour columns.
    void RowColoursChanged(const core::RowColours& colours);
    // The live colour swatch is shown only in the automatic colour mode.
    void LiveSwatchShown(bool shown);

private:
    void BuildRowTable();
    void ApplyColourMode();
    void PaintRowTableCell(int teachVector, std::uint32_t colour);

    core::AppState& state;
    core::OperatorDialogs& dialogs;
    QComboBox* editSetColor;
    QSpinBox* editRow;
    ColourSelector* editColorNumericRow;
    QPushButton* buttonSetRowColor;
    QTableWidget* tableRowAttributes;
    QPushButton* buttonSaveArray;
    QPushButton* buttonGetArray;
    QPushButton* buttonTableAttrReset;
};

} // namespace settings
