#include "live/BigNumberPanel.h"

#include "live/DisplayWidgets.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

namespace live {

BigNumberPanel::BigNumberPanel(const QString& objectName, const QString& title, RefreshClock& clock)
    : QWidget(nullptr), clock(clock) {
    setObjectName(objectName);
    setWindowTitle(title);
    resize(260, 180);
}

void BigNumberPanel::SetValue(int newValue) {
    if (newValue == value) return;
    value = newValue;
    clock.MarkDirty(this, mark);
}

void BigNumberPanel::SetStale(bool newStale) {
    if (newStale == stale) return;
    stale = newStale;
    clock.MarkDirty(this, mark);
}

void BigNumberPanel::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void BigNumberPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        hide();
        return;
    }
    QWidget::mousePressEvent(event);
}

void BigNumberPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    QFont font = painter.font();
    font.setPixelSize(std::max(24, height() * 2 / 3));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(stale ? QColor(0x70, 0x70, 0x70) : QColor(0, 255, 0));
    painter.drawText(rect(), Qt::AlignCenter, QString::number(value));
}

} // namespace live
