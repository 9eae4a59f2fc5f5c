#include "teach/MeanValuePanel.h"

#include "controls/CommandButton.h"
#include "controls/ValueDisplay.h"
#include "controls/WordTable.h"
#include "core/OperatorDialogs.h"
#include "protocol/ParameterCodes.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace teach {

namespace {

constexpr const char* kResetQuestion = "Do you really want to reset the table?";

// The value cells are 16-bit words: editing offers no more than a word can carry.
class WordCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new QSpinBox(parent);
        editor->setRange(0, 0xFFFF);
        editor->setFrame(false);
        editor->setButtonSymbols(QAbstractSpinBox::NoButtons);
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return editor;
    }
};

// A value that reached a cell some other way is held at the nearest end of a word, so that the
// cell shows the number the mean takes.
void ShowAsWord(QTableWidget* table, const QTableWidgetItem* item) {
    const std::uint16_t word = core::CellWord(table, item->row(), item->column());
    if (item->data(Qt::EditRole) != QVariant(int(word)))
        core::SetCellWord(table, item->row(), item->column(), word);
}

QTableWidget* MakeTable(QWidget* parent, const char* role, int rows) {
    auto* table = new QTableWidget(rows, kCaptureColumns, parent);
    table->setObjectName(QString::fromLatin1(role));
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < kCaptureColumns; ++c)
            core::SetCellWord(table, r, c, 0);
    }
    return table;
}

} // namespace

MeanValuePanel::MeanValuePanel(core::OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs(dialogs) {
    setObjectName(QStringLiteral("TEACHP1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("CAPTURED"), this));
    dispTP1Counter = core::MakeValueDisplay(this, "DispTP1Counter", 56);
    top->addWidget(dispTP1Counter);
    top->addStretch(1);
    buttonTP1Capture = core::MakeRoleButton(this, "ButtonTP1Capture", tr("CAPTURE"));
    buttonTP1Undo = core::MakeRoleButton(this, "ButtonTP1Undo", tr("UNDO"));
    buttonTP1ResetTable = core::MakeRoleButton(this, "ButtonTP1ResetTable", tr("RESET"));
    buttonTP1ResetTable->setStyleSheet(QStringLiteral("background:#E0E0E0;"));
    top->addWidget(buttonTP1Capture);
    top->addWidget(buttonTP1Undo);
    top->addWidget(buttonTP1ResetTable);
    layout->addLayout(top);

    gridTP1Values = MakeTable(this, "GridTP1Values", kCaptureRows);
    gridTP1Values->setAccessibleName(tr("captured values table"));
    gridTP1Values->setItemDelegate(new WordCellDelegate(gridTP1Values));
    layout->addWidget(gridTP1Values, 1);
    gridTP1Mean = MakeTable(this, "GridTP1Mean", 1);
    gridTP1Mean->setAccessibleName(tr("mean values table"));
    gridTP1Mean->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridTP1Mean->setVerticalHeaderLabels({tr("MEAN")});
    gridTP1Mean->setFixedHeight(gridTP1Mean->horizontalHeader()->sizeHint().height() +
                                gridTP1Mean->verticalHeader()->defaultSectionSize() + 4);
    layout->addWidget(gridTP1Mean);

    auto* form = new QGridLayout;
    labelMaxDeltaXY = new QLabel(this);
    dispTP1MaxDeltaXY = core::MakeValueDisplay(this, "DispTP1MaxDeltaXY", 56);
    labelMaxDeltaInt = new QLabel(this);
    dispTP1MaxDeltaInt = core::MakeValueDisplay(this, "DispTP1MaxDeltaInt", 56);
    labelTeachCtoWith = new QLabel(this);
    editTP1TeachCtoWith = new QComboBox(this);
    editTP1TeachCtoWith->setObjectName(QStringLiteral("EditTP1TeachCtoWith"));
    labelTeachItoWith = new QLabel(this);
    editTP1TeachItoWith = new QComboBox(this);
    editTP1TeachItoWith->setObjectName(QStringLiteral("EditTP1TeachItoWith"));
    labelValueCto = new QLabel(this);
    editTP1ValueCto = new QSpinBox(this);
    editTP1ValueCto->setObjectName(QStringLiteral("EditTP1ValueCto"));
    labelValueIto = new QLabel(this);
    editTP1ValueIto = new QSpinBox(this);
    editTP1ValueIto->setObjectName(QStringLiteral("EditTP1ValueIto"));
    for (QSpinBox* field : {editTP1ValueCto, editTP1ValueIto}) {
        field->setRange(0, 0xFFFF);
        field->setAlignment(Qt::AlignRight);
    }
    for (QComboBox* choice : {editTP1TeachCtoWith, editTP1TeachItoWith}) {
        for (int i = 0; i < 4; ++i)
            choice->addItem(QString(), i);
        choice->setItemText(3, tr("KEEP ROW TOLERANCE"));
    }
    const std::pair<QLabel*, QWidget*> rows[] = {
        {labelMaxDeltaXY, dispTP1MaxDeltaXY},     {labelMaxDeltaInt, dispTP1MaxDeltaInt},
        {labelTeachCtoWith, editTP1TeachCtoWith}, {labelTeachItoWith, editTP1TeachItoWith},
        {labelValueCto, editTP1ValueCto},         {labelValueIto, editTP1ValueIto}};
    for (int i = 0; i < int(std::size(rows)); ++i) {
        rows[i].first->setBuddy(rows[i].second);
        form->addWidget(rows[i].first, i / 2, (i % 2) * 2);
        form->addWidget(rows[i].second, i / 2, (i % 2) * 2 + 1);
    }
    layout->addLayout(form);

    auto* bottom = new QHBoxLayout;
    buttonTP1Teach = core::MakeRoleButton(this, "ButtonTP1Teach", tr("TEACH"));
    buttonCloseTeachPanel = core::MakeRoleButton(this, "ButtonCloseTeachPanel", tr("CLOSE"));
    bottom->addWidget(buttonTP1Teach);
    bottom->addStretch(1);
    bottom->addWidget(buttonCloseTeachPanel);
    layout->addLayout(bottom);

    UpdateTeachPanelLabels(0, protocol::kEvalBestHit);
    connect(buttonTP1Capture, &QPushButton::clicked, this, &MeanValuePanel::CBF_ButtonTP1Capture);
    connect(buttonTP1Undo, &QPushButton::clicked, this, &MeanValuePanel::CBF_ButtonTP1Undo);
    connect(buttonTP1ResetTable, &QPushButton::clicked, this,
            &MeanValuePanel::CBF_ButtonTP1ResetTable);
    connect(buttonTP1Teach, &QPushButton::clicked, this, &MeanValuePanel::CBF_ButtonTP1Teach);
    connect(buttonCloseTeachPanel, &QPushButton::clicked, this,
            &MeanValuePanel::CBF_ButtonCloseTeachPanel);
    connect(gridTP1Values, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        ShowAsWord(gridTP1Values, item);
        CBF_GridTP1Values();
    });
}

void MeanValuePanel::AddLiveValues(QWidget* rgbRow) {
    // Under the counter and the buttons: the values a capture would take now.
    static_cast<QVBoxLayout*>(layout())->insertWidget(1, rgbRow);
}

CaptureTable MeanValuePanel::Captures() const {
    CaptureTable table;
    table.count = dispTP1Counter->text().toInt();
    for (int r = 0; r < kCaptureRows; ++r) {
        for (int c = 0; c < kCaptureColumns; ++c)
            table.rows[std::size_t(r)][std::size_t(c)] = core::CellWord(gridTP1Values, r, c);
    }
    return table;
}

void MeanValuePanel::ShowCaptures(const CaptureTable& table) {
    dispTP1Counter->setText(QString::number(table.count));
    for (int r = 0; r < kCaptureRows; ++r) {
        for (int c = 0; c < kCaptureColumns; ++c) {
            const std::uint16_t value = table.rows[std::size_t(r)][std::size_t(c)];
            if (core::CellWord(gridTP1Values, r, c) != value)
                core::SetCellWord(gridTP1Values, r, c, value);
        }
    }
}

MeanAndSpread MeanValuePanel::Recompute() {
    const MeanAndSpread spread = ComputeMeanAndSpread(Captures(), calculationMode);
    for (int c = 0; c < kCaptureColumns; ++c)
        core::SetCellWord(gridTP1Mean, 0, c, spread.mean[std::size_t(c)]);
    dispTP1MaxDeltaXY->setText(QString::number(spread.maxDistance));
    dispTP1MaxDeltaInt->setText(QString::number(spread.maxIntensity));
    return spread;
}

MeanTeachInputs MeanValuePanel::TeachInputs() {
    MeanTeachInputs inputs;
    inputs.spread = Recompute();
    inputs.colourChoice = editTP1TeachCtoWith->currentData().toInt();
    inputs.intensityChoice = editTP1TeachItoWith->currentData().toInt();
    inputs.colourValue = std::uint16_t(editTP1ValueCto->value());
    inputs.intensityValue = std::uint16_t(editTP1ValueIto->value());
    return inputs;
}

void MeanValuePanel::UpdateTeachPanelLabels(std::uint16_t mode, std::uint16_t evaluationMode) {
    calculationMode = mode;
    if (evaluationMode >= protocol::kEvalThdRgb) return;
    // MIN DIST always teaches 40 as colour tolerance.
    const bool minDist = evaluationMode == protocol::kEvalMinDist;
    editTP1TeachCtoWith->setEnabled(!minDist);
    editTP1ValueCto->setEnabled(!minDist);

    const bool siM = protocol::IsCalculationSiM(mode);
    const bool threeD = protocol::IsCalculation3D(mode);
    const QString x = siM ? QStringLiteral("s") : QStringLiteral("X");
    const QString y = siM ? QStringLiteral("i") : QStringLiteral("Y");
    const QString i = siM ? QStringLiteral("M") : QStringLiteral("INT");
    const QStringList headings{
        QStringLiteral("RED"), QStringLiteral("GREEN"), QStringLiteral("BLUE"), x, y, i};
    gridTP1Values->setHorizontalHeaderLabels(headings);
    gridTP1Mean->setHorizontalHeaderLabels(headings);

    const QString distance =
        threeD ? (siM ? QStringLiteral("d (s/i/INT)") : QStringLiteral("d (X/Y/INT)"))
               : (siM ? QStringLiteral("d (s/i)") : QStringLiteral("d (X/Y)"));
    const QString tolerance =
        threeD ? QStringLiteral("TOL") : (siM ? QStringLiteral("siTO") : QStringLiteral("CTO"));
    labelMaxDeltaXY->setText(distance);
    labelValueCto->setText(QStringLiteral("VALUE ") + tolerance);
    labelTeachCtoWith->setText(QStringLiteral("TEACH %1 WITH").arg(tolerance));
    editTP1TeachCtoWith->setItemText(0, QStringLiteral("VALUE ") + tolerance);
    editTP1TeachCtoWith->setItemText(1, distance);
    editTP1TeachCtoWith->setItemText(2, distance + QStringLiteral("+VALUE ") + tolerance);
    if (mode != protocol::kCalcXyInt3D)
        labelMaxDeltaInt->setText(siM ? QStringLiteral("d M") : QStringLiteral("d INT"));
    if (!threeD) {
        const QString it = siM ? QStringLiteral("MTO") : QStringLiteral("ITO");
        const QString di = siM ? QStringLiteral("d M") : QStringLiteral("d INT");
        labelValueIto->setText(QStringLiteral("VALUE ") + it);
        labelTeachItoWith->setText(QStringLiteral("TEACH %1 WITH").arg(it));
        editTP1TeachItoWith->setItemText(0, QStringLiteral("VALUE ") + it);
        editTP1TeachItoWith->setItemText(1, di);
        editTP1TeachItoWith->setItemText(2, di + QStringLiteral("+VALUE ") + it);
    }
    // 3D has one tolerance: the intensity controls go.
    for (QWidget* w :
         {static_cast<QWidget*>(labelMaxDeltaInt), static_cast<QWidget*>(dispTP1MaxDeltaInt),
          static_cast<QWidget*>(labelTeachItoWith), static_cast<QWidget*>(editTP1TeachItoWith),
          static_cast<QWidget*>(labelValueIto), static_cast<QWidget*>(editTP1ValueIto)})
        w->setVisible(!threeD);
}

void MeanValuePanel::CBF_ButtonTP1Capture() {
    if (!current) return;
    CaptureTable table = Captures();
    const int row = CaptureFrame(table, *current);
    ShowCaptures(table);
    gridTP1Values->setCurrentCell(row, 0);
    Recompute();
}

void MeanValuePanel::CBF_ButtonTP1Undo() {
    CaptureTable table = Captures();
    const int active = UndoCapture(table);
    ShowCaptures(table);
    gridTP1Values->setCurrentCell(active, 0);
    Recompute();
}

void MeanValuePanel::CBF_ButtonTP1ResetTable() {
    // Red while the question stands, so it is plain what is about to go.
    buttonTP1ResetTable->setStyleSheet(QStringLiteral("background:#FF0000;"));
    QCoreApplication::processEvents();
    if (dialogs.Confirm("ATTENTION!", kResetQuestion)) ResetCaptureTable();
    buttonTP1ResetTable->setStyleSheet(QStringLiteral("background:#E0E0E0;"));
}

void MeanValuePanel::ResetCaptureTable() {
    ShowCaptures(CaptureTable{});
    gridTP1Values->setCurrentCell(0, 0);
    Recompute();
}

void MeanValuePanel::CBF_ButtonTP1Teach() {
    emit TeachRequested();
}

void MeanValuePanel::CBF_ButtonCloseTeachPanel() {
    emit CloseRequested();
}

void MeanValuePanel::CBF_GridTP1Values() {
    Recompute();
}

} // namespace teach
