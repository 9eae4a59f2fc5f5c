#include "params/GroupHoldPage.h"

#include "app/MainPanel.h"
#include "app/OperatorDialogs.h"
#include "app/Program.h"
#include "params/ParameterDefaults.h"
#include "params/ParameterPanels.h"
#include "params/ParameterRules.h"
#include "params/WordTable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kValueWidth = 52;
constexpr int kColourWidth = 22;
constexpr const char* kResetQuestion = "Do you really want to reset the table?";

QStringList TeachRowLabels() {
    QStringList labels;
    for (int r = 0; r < kTeachRows; ++r)
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

QPushButton* MakeButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

GroupHoldPage::GroupHoldPage(Program& program, QWidget* parent)
    : QWidget(parent), program(program) {
    setObjectName(QStringLiteral("GroupHoldPage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("COLOR GROUP"), this));
    editColorGroups = new QComboBox(this);
    editColorGroups->setObjectName(QStringLiteral("EditColorGroups"));
    FillCodes(editColorGroups, {{QStringLiteral("OFF"), 0}, {QStringLiteral("ON"), 1}});
    top->addWidget(editColorGroups);
    top->addStretch(1);
    layout->addLayout(top);

    layout->addWidget(BuildTables(), 1);

    for (int r = 0; r < kGroupRows; ++r)
        SetCellWord(editGridGroups, r, kValueColumn, kDefaultGroup);
    SetCellWord(editGridHold, 0, kValueColumn, kDefaultParameters[kHoldFail]);
    for (int r = 1; r < kHoldRows; ++r)
        SetCellWord(editGridHold, r, kValueColumn, kDefaultHold);

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
    editGridGroups->setHorizontalHeaderLabels({tr("GROUP"), QString()});
    SetWordTableWidths(editGridGroups, kValueWidth, kColourWidth);
    grid->addWidget(editGridGroups, 1, 0);

    editHold = Caption(tr("HOLD TABLE"), tables);
    editHold->setObjectName(QStringLiteral("EditHold"));
    grid->addWidget(editHold, 0, 1);
    QStringList labels{QStringLiteral("FAIL")};
    labels << TeachRowLabels();
    editGridHold = MakeWordTable(QStringLiteral("EditGridHold"), kHoldRows, 1, labels, tables);
    editGridHold->setHorizontalHeaderLabels({tr("HOLD"), QString()});
    SetWordTableWidths(editGridHold, kValueWidth, kColourWidth);
    grid->addWidget(editGridHold, 1, 1);

    auto* resetRow = new QHBoxLayout;
    resetRow->addWidget(new QLabel(tr("RESET VALUE"), tables));
    editResetHold = new QSpinBox(tables);
    editResetHold->setObjectName(QStringLiteral("EditResetHold"));
    editResetHold->setRange(0, 65535);
    editResetHold->setValue(kDefaultHold);
    editResetHold->setAlignment(Qt::AlignRight);
    resetRow->addWidget(editResetHold, 1);
    grid->addLayout(resetRow, 2, 1);

    buttonResetGroupTable =
        MakeButton(QStringLiteral("ButtonResetGroupTable"), tr("RESET GROUPS"), tables);
    grid->addWidget(buttonResetGroupTable, 3, 0);
    buttonResetHoldTable =
        MakeButton(QStringLiteral("ButtonResetHoldTable"), tr("RESET HOLDS"), tables);
    grid->addWidget(buttonResetHoldTable, 3, 1);
    grid->setRowStretch(1, 1);
    return tables;
}

std::uint16_t GroupHoldPage::ColorGroup() const {
    return CurrentCode(editColorGroups);
}

bool GroupHoldPage::SetColorGroup(std::uint16_t value) {
    SelectCode(editColorGroups, value != 0 ? 1 : 0, 0);
    return value <= 1;
}

void GroupHoldPage::CBF_EditColorGroups() {
    ApplyParameterRules(program);
}

void GroupHoldPage::CBF_EditGridGroups() {
    ApplyParameterRules(program);
    // The limit check may have brought another page to the front.
    program.Main().tabMain1->setCurrentIndex(MainPanel::kGroupHoldPage);
}

void GroupHoldPage::CBF_ButtonResetGroupTable() {
    if (!program.dialogs.Confirm("ATTENTION!", kResetQuestion)) return;
    for (int r = 0; r < kGroupRows; ++r) {
        SetCellWord(editGridGroups, r, kValueColumn, 0);
        SetCellBackground(editGridGroups, r, kValueColumn, kColourCellPlain);
    }
}

void GroupHoldPage::CBF_ButtonResetHoldTable() {
    if (!program.dialogs.Confirm("ATTENTION!", kResetQuestion)) return;
    const auto value = static_cast<std::uint16_t>(editResetHold->value());
    for (int r = 0; r < kHoldRows; ++r)
        SetCellWord(editGridHold, r, kValueColumn, value);
}
