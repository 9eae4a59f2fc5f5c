#include "params/TeachTablePage.h"

#include "params/ParameterDefaults.h"
#include "params/ParameterPanels.h"
#include "params/WordTable.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int kValueWidth = 46;
constexpr int kColourWidth = 20;
} // namespace

TeachTablePage::TeachTablePage(Program& program, QWidget* parent)
    : QWidget(parent), program(program) {
    setObjectName(QStringLiteral("TeachTablePage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    toolArea = new QWidget(this);
    toolLayout = new QVBoxLayout(toolArea);
    toolLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolArea);

    QStringList rows;
    for (int r = 0; r < kTeachRows; ++r)
        rows << QString::number(r);
    gridCtt = MakeWordTable(QStringLiteral("GridCtt"), kTeachRows, kValueColumns, rows, this);
    SetWordTableWidths(gridCtt, kValueWidth, kColourWidth);
    gridCtt->verticalHeader()->setMinimumWidth(24);
    SetHeadings({"X", "Y", "CTO", "INT", "ITO"});
    for (int r = 0; r < kTeachRows; ++r) {
        for (int c = 0; c < kValueColumns; ++c)
            SetCellWord(gridCtt, r, c, kDefaultTeachCell);
    }
    layout->addWidget(gridCtt, 1);

    connect(gridCtt, &QTableWidget::itemChanged, this, [this] { CBF_GridCtt(); });
}

void TeachTablePage::SetHeadings(const QStringList& headings) {
    QStringList all = headings.mid(0, kValueColumns);
    while (all.size() < kValueColumns)
        all << QString();
    all << QString(); // the colour column has no heading
    gridCtt->setHorizontalHeaderLabels(all);
}

void TeachTablePage::CBF_GridCtt() {
    GetParametersFromPanel(program);
}
