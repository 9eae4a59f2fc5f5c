#include "params/GroupHoldPage.h"

#include "controls/CommandButton.h"
#include "controls/WordTable.h"
#include "core/OperatorDialogs.h"
#include "model/ParameterDefaults.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace params {

namespace {

using namespace core;

constexpr int kValue = 0;
constexpr int kColour = 1;
constexpr int kValueWidth = 52;
constexpr int kColourWidth = 22;
constexpr const char* kResetQuestion = "Do you really want to reset the table?";

QStringList TeachRowLabels() {
    QStringList labels;
    for (int r = 0; r < protocol::kTeachRows; ++r)
        labels << QString::number(r);
    return labels;
}

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

GroupHoldPage::GroupHoldPage(core::OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs(dialogs) {
    setObjectName(QStringLiteral("GroupHoldPage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* top = new QHBoxLayout;
    auto* colorGroupCaption = new QLabel(tr("COLOR GROUP"), this);
    top->addWidget(colorGroupCaption);
    editColorGroups = new QComboBox(this);
    editColorGroups->setObjectName(QStringLiteral("EditColorGroups"));
    colorGroupCaption->setBuddy(editColorGroups);
    FillCodes(editColorGroups, {{QStringLiteral("OFF"), 0}, {QStringLiteral("ON"), 1}});
    words.BindList(protocol::kColorGroup, editColorGroups);
    top->addWidget(editColorGroups);
    top->addStretch(1);
    layout->addLayout(top);

    layout->addWidget(BuildTables(), 1);

    for (int r = 0; r < kGroupRows; ++r)
        SetGroupCell(r, kDefaultGroup);
    SetHoldFail(kDefaultParameters[protocol::kHoldFail]);
    for (int r = 0; r < protocol::kTeachRows; ++r)
        SetHoldCell(r, kDefaultHold);

    connect(editColorGroups, &QComboBox::activated, this, [this] { CBF_EditColorGroups(); });
    connect(editGridGroups, &QTableWidget::itemChanged, this, [this] { CBF_EditGridGroups(); });
    connect(buttonResetGroupTable, &QPushButton::clicked, this,
            &GroupHoldPage::CBF_ButtonResetGroupTable);
    connect(buttonResetHoldTable, &QPushButton::clicked, this,
            &GroupHoldPage::CBF_ButtonResetHoldTable);
}

QWidget* GroupHoldPage::BuildTables() {
    auto* tables = new QWidget(this);
    auto* grid = new QGridLayout(tables);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    grid->addWidget(Caption(tr("GROUP TABLE"), tables), 0, 0);
    editGridGroups =
        MakeWordTable(QStringLiteral("EditGridGroups"), kGroupRows, 1, TeachRowLabels(), tables);
    // The captions above the tables stay plain: a right click on them shows no help.
    editGridGroups->setAccessibleName(tr("GROUP TABLE"));
    editGridGroups->setHorizontalHeaderLabels({tr("GROUP"), QString()});
    SetWordTableWidths(editGridGroups, kValueWidth, kColourWidth);
    grid->addWidget(editGridGroups, 1, 0);

    editHold = Caption(tr("HOLD TABLE"), tables);
    editHold->setObjectName(QStringLiteral("EditHold"));
    grid->addWidget(editHold, 0, 1);
    QStringList labels{QStringLiteral("FAIL")};
    labels << TeachRowLabels();
    editGridHold = MakeWordTable(QStringLiteral("EditGridHold"), kHoldRows, 1, labels, tables);
    editGridHold->setAccessibleName(tr("HOLD TABLE"));
    editGridHold->setHorizontalHeaderLabels({tr("HOLD"), QString()});
    SetWordTableWidths(editGridHold, kValueWidth, kColourWidth);
    grid->addWidget(editGridHold, 1, 1);

    auto* resetRow = new QHBoxLayout;
    auto* resetCaption = new QLabel(tr("RESET VALUE"), tables);
    resetRow->addWidget(resetCaption);
    editResetHold = new QSpinBox(tables);
    editResetHold->setObjectName(QStringLiteral("EditResetHold"));
    resetCaption->setBuddy(editResetHold);
    editResetHold->setRange(0, 65535);
    editResetHold->setValue(kDefaultHold);
    editResetHold->setAlignment(Qt::AlignRight);
    resetRow->addWidget(editResetHold, 1);
    grid->addLayout(resetRow, 2, 1);

    buttonResetGroupTable =
        core::MakeRoleButton(tables, "ButtonResetGroupTable", tr("RESET GROUPS"));
    grid->addWidget(buttonResetGroupTable, 3, 0);
    buttonResetHoldTable = core::MakeRoleButton(tables, "ButtonResetHoldTable", tr("RESET HOLDS"));
    grid->addWidget(buttonResetHoldTable, 3, 1);
    grid->setRowStretch(1, 1);
    return tables;
}

std::uint16_t GroupHoldPage::GroupCell(int row) const {
    return CellWord(editGridGroups, row, kValue);
}

void GroupHoldPage::SetGroupCell(int row, std::uint16_t value) {
    SetCellWord(editGridGroups, row, kValue, value);
}

void GroupHoldPage::SetGroupCellBackground(int row, std::uint32_t rgb) {
    SetCellBackground(editGridGroups, row, kValue, rgb);
}

std::uint16_t GroupHoldPage::HoldCell(int row) const {
    return CellWord(editGridHold, row + 1, kValue);
}

void GroupHoldPage::SetHoldCell(int row, std::uint16_t value) {
    SetCellWord(editGridHold, row + 1, kValue, value);
}

std::uint16_t GroupHoldPage::HoldFail() const {
    return CellWord(editGridHold, 0, kValue);
}

void GroupHoldPage::SetHoldFail(std::uint16_t value) {
    SetCellWord(editGridHold, 0, kValue, value);
}

void GroupHoldPage::ApplyLocks(const ControlLocks& locks) {
    editColorGroups->setEnabled(!locks.colorGroup);
    editGridGroups->setEnabled(!locks.groupTable);
    buttonResetGroupTable->setEnabled(!locks.groupTableReset);
}

void GroupHoldPage::SetRowLabels(const std::array<std::uint32_t, protocol::kTeachRows>& rows,
                                 const std::array<std::uint32_t, kHoldRows>& holdRows) {
    for (int r = 0; r < protocol::kTeachRows; ++r)
        SetRowLabelColour(editGridGroups, r, rows[std::size_t(r)]);
    for (int r = 0; r < kHoldRows; ++r)
        SetRowLabelColour(editGridHold, r, holdRows[std::size_t(r)]);
}

void GroupHoldPage::SetRowColours(const std::array<std::uint32_t, protocol::kTeachRows>& colours) {
    for (int r = 0; r < protocol::kTeachRows; ++r) {
        SetCellBackground(editGridGroups, r, kColour, colours[std::size_t(r)]);
        SetCellBackground(editGridHold, r + 1, kColour, colours[std::size_t(r)]);
    }
}

void GroupHoldPage::CBF_EditColorGroups() {
    emit RulesRequested();
}

void GroupHoldPage::CBF_EditGridGroups() {
    emit GroupCellEdited();
}

void GroupHoldPage::CBF_ButtonResetGroupTable() {
    if (!dialogs.Confirm("ATTENTION!", kResetQuestion)) return;
    for (int r = 0; r < kGroupRows; ++r) {
        SetGroupCell(r, 0);
        SetGroupCellBackground(r, kColourCellPlain);
    }
}

void GroupHoldPage::CBF_ButtonResetHoldTable() {
    if (!dialogs.Confirm("ATTENTION!", kResetQuestion)) return;
    const auto value = static_cast<std::uint16_t>(editResetHold->value());
    SetHoldFail(value);
    for (int r = 0; r < protocol::kTeachRows; ++r)
        SetHoldCell(r, value);
}

} // namespace params
