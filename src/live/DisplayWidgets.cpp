#include "live/DisplayWidgets.h"

#include <QAccessible>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace live {

RefreshClock::RefreshClock(QObject* parent) : QObject(parent) {
    timer.setSingleShot(true);
    timer.setInterval(kIntervalMs);
    connect(&timer, &QTimer::timeout, this, &RefreshClock::Flush);
}

void RefreshClock::MarkDirty(QWidget* widget, Mark& mark) {
    if (mark.marked) return;
    mark.marked = true;
    dirty.push_back({widget, &mark});
    if (!timer.isActive()) timer.start();
}

void RefreshClock::MarkChanged(QWidget* widget, Mark& mark) {
    mark.valueChanged = true;
    MarkDirty(widget, mark);
}

void RefreshClock::MarkDirty(Refreshable* refreshable) {
    if (refreshable->marked) return;
    refreshable->marked = true;
    dirtyRefreshables.push_back(refreshable);
    if (!timer.isActive()) timer.start();
}

void RefreshClock::Forget(Refreshable* refreshable) {
    dirtyRefreshables.erase(
        std::remove(dirtyRefreshables.begin(), dirtyRefreshables.end(), refreshable),
        dirtyRefreshables.end());
}

void RefreshClock::Flush() {
    const bool announce = core::ScreenReaderListens();
    for (const Dirty& entry : dirty) {
        if (!entry.widget) continue;
        entry.mark->marked = false;
        entry.widget->update();
        const bool changed = std::exchange(entry.mark->valueChanged, false);
        const auto* shown = dynamic_cast<const core::ShownValue*>(entry.widget.data());
        if (announce && changed && shown) {
            QAccessibleValueChangeEvent event(entry.widget, core::ShownNumber(shown->ShownText()));
            core::Announce(event);
        }
    }
    dirty.clear();
    // Cleared before refreshing: a refresh may mark itself again.
    std::vector<Refreshable*> due;
    due.swap(dirtyRefreshables);
    for (Refreshable* refreshable : due) {
        refreshable->marked = false;
        refreshable->Refresh();
    }
    if (dirtyRefreshables.empty()) {
        due.clear();
        dirtyRefreshables.swap(due); // keeps the capacity, so marking never allocates
    }
}

NumericDisplay::NumericDisplay(const QString& objectName, RefreshClock& clock, QWidget* parent)
    : QFrame(parent), clock(clock) {
    core::InstallValueAccessibility();
    setObjectName(objectName);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    // Room for five digits and a sign: a squeezed window must not cut a value.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 8);
}

void NumericDisplay::SetValue(int newValue) {
    if (newValue == value) return;
    value = newValue;
    clock.MarkChanged(this, mark);
}

void NumericDisplay::SetValueBackground(const QColor& colour) {
    background = colour;
    update();
}

void NumericDisplay::SetStale(bool newStale) {
    if (newStale == stale) return;
    stale = newStale;
    clock.MarkDirty(this, mark);
}

QSize NumericDisplay::sizeHint() const {
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 10;
    return {width, fontMetrics().height() + 6};
}

void NumericDisplay::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(contentsRect(), stale ? QColor(0xE0, 0xE0, 0xE0) : background);
    painter.setPen(stale ? QColor(0x90, 0x90, 0x90) : QColor(Qt::black));
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
    clock.MarkDirty(this, mark);
}

void ColourSwatch::SetStale(bool newStale) {
    if (newStale == stale) return;
    stale = newStale;
    clock.MarkDirty(this, mark);
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(contentsRect(), QColor::fromRgb(colour));
    // The last colour stays readable under a grey hatch.
    if (stale) painter.fillRect(contentsRect(), QBrush(QColor(0xA0, 0xA0, 0xA0), Qt::BDiagPattern));
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
    clock.MarkDirty(this, mark);
}

void IndicatorLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkGray, 1.5));
    painter.setBrush(on ? onColour : QColor(Qt::black));
    painter.drawEllipse(rect().adjusted(2, 2, -2, -2));
}

} // namespace live
