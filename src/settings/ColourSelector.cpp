#include "settings/ColourSelector.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>

namespace settings {

namespace {

QString HexText(std::uint32_t rgb) {
    return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

} // namespace

ColourSelector::ColourSelector(const QString& objectName, QWidget* parent) : QWidget(parent) {
    setObjectName(objectName);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);

    swatch = new QToolButton(this);
    swatch->setFixedSize(40, 24);
    swatch->setToolTip(tr("Choose a colour"));
    swatch->setAccessibleName(tr("colour swatch"));
    row->addWidget(swatch);

    hexField = new QLineEdit(this);
    hexField->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("#?[0-9A-Fa-f]{6}")), hexField));
    hexField->setMaxLength(7);
    hexField->setFixedWidth(hexField->fontMetrics().horizontalAdvance(QStringLiteral("#MMMMMM")));
    row->addWidget(hexField);
    row->addStretch(1);

    connect(swatch, &QToolButton::clicked, this, [this] { ChooseWithDialog(); });
    connect(hexField, &QLineEdit::editingFinished, this, [this] { TakeTypedColour(); });
    SetColour(colour);
}

void ColourSelector::SetColour(std::uint32_t rgb) {
    colour = rgb & 0xFFFFFF;
    swatch->setStyleSheet(
        QStringLiteral("QToolButton { background: %1; border: 1px solid #404040; }")
            .arg(HexText(colour)));
    hexField->setText(HexText(colour));
}

void ColourSelector::ChooseWithDialog() {
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(colour), this, tr("Row colour"));
    if (!chosen.isValid()) return;
    Commit(chosen.rgb() & 0xFFFFFF);
}

void ColourSelector::TakeTypedColour() {
    QString text = hexField->text();
    if (text.startsWith(QLatin1Char('#'))) text.remove(0, 1);
    bool ok = false;
    const std::uint32_t rgb = text.toUInt(&ok, 16);
    if (!ok || text.size() != 6) {
        SetColour(colour); // an incomplete entry shows the colour in force again
        return;
    }
    Commit(rgb);
}

void ColourSelector::Commit(std::uint32_t rgb) {
    SetColour(rgb);
    if (onCommit) onCommit();
}

} // namespace settings
