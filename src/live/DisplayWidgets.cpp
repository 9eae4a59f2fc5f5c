#include "live/DisplayWidgets.h"

#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace live {

RefreshClock::RefreshClock(QObject* parent) : QObject(parent) {
    timer.setSingleShot(true);
    timer.setInterval(kIntervalMs);
    connect(&timer, &QTimer::timeout, this, &RefreshClock::Flush);
}

void RefreshClock::MarkDirty(QWidget* widget) {
    if (std::find(dirty.begin(), dirty.end(), widget) == dirty.end()) dirty.push_back(widget);
    if (!timer.isActive()) timer.start();
}

void RefreshClock::Flush() {
    for (const auto& widget : dirty) {
        if (widget) widget->update();
    }
    dirty.clear();
}

NumericDisplay::NumericDisplay(const QString& objectName, RefreshClock& clock, QWidget* parent)
    : QFrame(parent), clock(clock) {
    setObjectName(objectName);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setMinimumWidth(52);
}

void NumericDisplay::SetValue(int newValue) {
    if (newValue == value) return;
    value = newValue;
    clock.MarkDirty(this);
}

void NumericDisplay::SetValueBackground(const QColor& colour) {
    background = colour;
    update();
}

QSize NumericDisplay::sizeHint() const {
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 10;
    return {width, fontMetrics().height() + 6};
}

void NumericDisplay::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(contentsRect(), background);
    painter.setPen(Qt::black);
    painter.drawText(contentsRect().adjusted(2, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter,
                     Text());
    painter.end();
    QFrame::paintEvent(event);
}

ColourSwatch::ColourSwatch(const QString& objectName, RefreshClock& clock, QWidget* parent)
    : QFrame(parent), clock(clock) {
    setObjectName(objectName);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMinimumSize(60, 40);
}

void ColourSwatch::SetColour(std::uint32_t rgb) {
    if (rgb == colour) return;
    colour = rgb;
    clock.MarkDirty(this);
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(contentsRect(), QColor::fromRgb(colour));
    painter.end();
    QFrame::paintEvent(event);
}

IndicatorLed::IndicatorLed(const QString& objectName, QColor onColour, RefreshClock& clock,
                           QWidget* parent)
    : QWidget(parent), clock(clock), onColour(onColour) {
    setObjectName(objectName);
    setFixedSize(18, 18);
}

void IndicatorLed::SetOn(bool newOn) {
    if (newOn == on) return;
    on = newOn;
    clock.MarkDirty(this);
}

void IndicatorLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkGray, 1.5));
    painter.setBrush(on ? onColour : QColor(Qt::black));
    painter.drawEllipse(rect().adjusted(2, 2, -2, -2));
}

} // namespace live
