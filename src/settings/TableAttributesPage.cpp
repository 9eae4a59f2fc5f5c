#include "settings/TableAttributesPage.h"

#include "controls/CommandButton.h"
#include "controls/WordTable.h"
#include "core/OperatorDialogs.h"
#include "core/SideFiles.h"
#include "core/Text.h"
#include "settings/ColourSelector.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace settings {

namespace {

using namespace table_attributes;

// Row text cells take no more than the file keeps, so a saved row loads back unchanged.
class SpecificationDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(int(kSpecificationLength));
        return editor;
    }
    // The cell keeps the text as the files keep it, one byte per character: what the operator
    // sees is what a save writes.
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line) return QStyledItemDelegate::setModelData(editor, model, index);
        const std::string kept = core::BytesOfText(line->text(), kSpecificationLength);
        model->setData(index, core::TextOfBytes(kept), Qt::EditRole);
    }
};

} // namespace

TableAttributesPage::TableAttributesPage(core::AppState& state, core::OperatorDialogs& dialogs,
                                         QWidget* parent)
    : QWidget(parent), state(state), dialogs(dialogs) {
    setObjectName(QStringLiteral("TableAttributesPage"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    editSetColor = new QComboBox(this);
    editSetColor->setObjectName(QStringLiteral("EditSetColor"));
    editSetColor->addItem(tr("MANUALLY"), int(ColourMode::Manual));
    editSetColor->addItem(tr("AUTOMATICALLY"), int(ColourMode::Automatic));
    form->addRow(tr("SET COLOR"), editSetColor);

    editRow = new QSpinBox(this);
    editRow->setObjectName(QStringLiteral("EditRow"));
    editRow->setRange(0, kRowCount - 1);
    editRow->setMaximumWidth(editRow->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                             40);
    form->addRow(tr("ROW"), editRow);

    editColorNumericRow = new ColourSelector(QStringLiteral("EditColorNumericRow"), this);
    editColorNumericRow->SetColour(DefaultRowColour(0));
    form->addRow(tr("COLOR"), editColorNumericRow);
    layout->addLayout(form);

    buttonSetRowColor = core::MakeRoleButton(this, "ButtonSetRowColor", tr("SET ROW COLOR"));
    layout->addWidget(buttonSetRowColor);

    BuildRowTable();
    layout->addWidget(tableRowAttributes, 1);

    auto* fileRow = new QHBoxLayout;
    buttonSaveArray = core::MakeRoleButton(this, "ButtonSaveArray", tr("SAVE"));
    buttonGetArray = core::MakeRoleButton(this, "ButtonGetArray", tr("LOAD"));
    buttonTableAttrReset = core::MakeRoleButton(this, "ButtonTableAttrReset", tr("RESET"));
    fileRow->addWidget(buttonSaveArray);
    fileRow->addWidget(buttonGetArray);
    fileRow->addWidget(buttonTableAttrReset);
    layout->addLayout(fileRow);

    connect(editSetColor, &QComboBox::activated, this, &TableAttributesPage::CBF_EditSetColor);
    connect(editRow, &QSpinBox::editingFinished, this, &TableAttributesPage::CBF_EditRow);
    editColorNumericRow->onCommit = [this] { CBF_EditColorNumericRow(); };
    connect(buttonSetRowColor, &QPushButton::clicked, this,
            &TableAttributesPage::CBF_ButtonSetRowColor);
    connect(buttonSaveArray, &QPushButton::clicked, this,
            &TableAttributesPage::CBF_ButtonSaveArray);
    connect(buttonGetArray, &QPushButton::clicked, this, &TableAttributesPage::CBF_ButtonGetArray);
    connect(buttonTableAttrReset, &QPushButton::clicked, this,
            &TableAttributesPage::CBF_ButtonTableAttrReset);

    ShowRows(DefaultRowAttributes());
    ApplyColourMode();
}

void TableAttributesPage::BuildRowTable() {
    tableRowAttributes = new QTableWidget(kRowCount, 2, this);
    tableRowAttributes->setObjectName(QStringLiteral("TableRowAttributes"));
    tableRowAttributes->setAccessibleName(tr("row attributes table"));
    tableRowAttributes->setHorizontalHeaderLabels({tr("ROW SPECIFICATION"), tr("COLOR")});
    QStringList rowLabels;
    for (int i = 0; i < kRowCount; ++i)
        rowLabels << QString::number(i);
    tableRowAttributes->setVerticalHeaderLabels(rowLabels);
    tableRowAttributes->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    tableRowAttributes->verticalHeader()->setDefaultSectionSize(
        tableRowAttributes->fontMetrics().height() + 6);
    tableRowAttributes->horizontalHeader()->setSectionResizeMode(kSpecificationColumn,
                                                                 QHeaderView::Stretch);
    tableRowAttributes->horizontalHeader()->setSectionResizeMode(kColourColumn, QHeaderView::Fixed);
    tableRowAttributes->setColumnWidth(kColourColumn, 56);
    tableRowAttributes->setItemDelegateForColumn(kSpecificationColumn,
                                                 new SpecificationDelegate(tableRowAttributes));
    tableRowAttributes->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int i = 0; i < kRowCount; ++i) {
        auto* colour = new QTableWidgetItem;
        colour->setFlags(Qt::ItemIsEnabled); // shows the colour only; set with SET ROW COLOR
        tableRowAttributes->setItem(i, kColourColumn, colour);
        tableRowAttributes->setItem(i, kSpecificationColumn, new QTableWidgetItem);
    }
    // Picking a row in the table selects it for SET ROW COLOR.
    connect(tableRowAttributes, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) editRow->setValue(row);
    });
}

ColourMode TableAttributesPage::Mode() const {
    return ColourMode(editSetColor->currentData().toInt());
}

RowAttributes TableAttributesPage::CollectRows() {
    RowAttributes rows;
    for (int i = 0; i < kRowCount; ++i) {
        const auto row = std::size_t(i);
        rows.colours[row] =
            tableRowAttributes->item(i, kColourColumn)->background().color().rgb() & 0xFFFFFF;
        rows.rowTexts[row] = core::BytesOfText(
            tableRowAttributes->item(i, kSpecificationColumn)->text(), kSpecificationLength);
    }
    state.settings.rowColours = rows.colours;
    return rows;
}

void TableAttributesPage::ShowRows(const RowAttributes& rows) {
    for (int i = 0; i < kRowCount; ++i) {
        const auto row = std::size_t(i);
        PaintRowTableCell(i, rows.colours[row]);
        tableRowAttributes->item(i, kSpecificationColumn)
            ->setText(core::TextOfBytes(rows.rowTexts[row]));
    }
    state.settings.rowColours = rows.colours;
    emit RowColoursChanged(state.settings.rowColours);
}

void TableAttributesPage::AssignRowColour(int teachVector, std::uint32_t colour) {
    if (teachVector < 0 || teachVector >= kRowCount) return;
    colour &= 0xFFFFFF;
    state.settings.rowColours[std::size_t(teachVector)] = colour;
    PaintRowTableCell(teachVector, colour);
    emit RowColoursChanged(state.settings.rowColours);
}

void TableAttributesPage::PaintRowTableCell(int teachVector, std::uint32_t colour) {
    tableRowAttributes->item(teachVector, kColourColumn)->setBackground(QColor::fromRgb(colour));
}

void TableAttributesPage::PublishState() {
    emit RowColoursChanged(state.settings.rowColours);
    ApplyColourMode();
}

void TableAttributesPage::SetRowLabels(const core::RowColours& labels) {
    for (int r = 0; r < kRowCount; ++r)
        core::SetRowLabelColour(tableRowAttributes, r, labels[std::size_t(r)]);
}

void TableAttributesPage::ApplyColourMode() {
    const ColourModeControls controls = ControlsForColourMode(Mode());
    editRow->setEnabled(controls.rowSelectorEnabled);
    editColorNumericRow->setEnabled(controls.colourSelectorEnabled);
    buttonSetRowColor->setEnabled(controls.setColourButtonEnabled);
    emit LiveSwatchShown(controls.liveSwatchVisible);
}

void TableAttributesPage::CBF_EditSetColor() {
    ApplyColourMode();
}

void TableAttributesPage::CBF_EditRow() {
    ApplyColourMode();
}

void TableAttributesPage::CBF_EditColorNumericRow() {
    ApplyColourMode();
}

void TableAttributesPage::CBF_ButtonSetRowColor() {
    AssignRowColour(editRow->value(), editColorNumericRow->Colour());
}

void TableAttributesPage::CBF_ButtonSaveArray() {
    std::string& path = state.settings.tableAttributesPath;
    const auto selection = dialogs.SelectFile(kDialogTitle, core::DialogStartDirectory(path),
                                              kDefaultFileName, kDialogFilter, true);
    if (selection.choice == core::OperatorDialogs::FileChoice::None || selection.path.empty()) {
        dialogs.Message(kAttentionTitle, kNoFileSelectedText);
        return;
    }
    path = selection.path;
    std::string refusal;
    if (SaveTableAttributesFile(path, CollectRows(), &refusal) < 0)
        core::ReportUnwrittenFile(dialogs, path, refusal);
}

void TableAttributesPage::CBF_ButtonGetArray() {
    std::string& path = state.settings.tableAttributesPath;
    const auto selection = dialogs.SelectFile(kDialogTitle, core::DialogStartDirectory(path),
                                              kDefaultFileName, kDialogFilter, false);
    if (selection.choice != core::OperatorDialogs::FileChoice::Existing || selection.path.empty()) {
        dialogs.Message(kAttentionTitle, kNoFileSelectedText);
        return;
    }
    path = selection.path;
    RowAttributes rows = CollectRows();
    const TableAttributesLoad load =
        LoadTableAttributes(path, rows, [this](std::string_view question) {
            return dialogs.Confirm(kAttentionTitle, std::string(question));
        });
    if (!load.loaded) {
        dialogs.Message(kAttentionTitle,
                        (load.refusal.empty() ? "" : load.refusal + "\n") + kNothingReadText);
        return;
    }
    ShowRows(rows);
    if (!load.report.empty()) dialogs.Message(kReportTitle, load.report);
}

void TableAttributesPage::CBF_ButtonTableAttrReset() {
    if (!dialogs.Confirm(kAttentionTitle, kResetQuestion)) return;
    ShowRows(DefaultRowAttributes());
}

} // namespace settings
