#pragma once
// Small display widgets for live values. Values are stored at once, every turn; repainting is
// coalesced to the screen's pace by one shared refresh clock, so a fast sensor never waits for
// the painter. Screen readers hear a changed value on the same tick.
#include "controls/AccessibleValue.h"

#include <QColor>
#include <QFrame>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <vector>

namespace live {

class RefreshClock;

// Something that brings its own drawing up to date when the clock ticks (the charts).
class Refreshable {
public:
    virtual ~Refreshable() = default;
    virtual void Refresh() = 0;

private:
    friend class RefreshClock;
    bool marked = false; // waits for the clock's tick
};

class RefreshClock : public QObject {
public:
    // Kept by each widget the clock repaints: marking a widget again before the tick costs one
    // test, however many widgets wait, as every measurement marks dozens of them.
    struct Mark {
        bool marked = false;
        bool valueChanged = false; // told to a screen reader at the tick
    };

    explicit RefreshClock(QObject* parent = nullptr);
    void MarkDirty(QWidget* widget, Mark& mark);
    // A new value to show and to announce: a display changing thousands of times a second is
    // announced at most once a tick, and only while a screen reader listens.
    void MarkChanged(QWidget* widget, Mark& mark);
    void MarkDirty(Refreshable* refreshable);
    // A refreshable that goes away before the clock.
    void Forget(Refreshable* refreshable);
    // Something marked waits for the next tick.
    bool Pending() const { return !dirty.empty() || !dirtyRefreshables.empty(); }
    static constexpr int kIntervalMs = 40;

private:
    struct Dirty {
        QPointer<QWidget> widget;
        Mark* mark; // inside the widget: touched only while the widget lives
    };
    void Flush();
    QTimer timer;
    std::vector<Dirty> dirty;
    std::vector<Refreshable*> dirtyRefreshables;
};

class NumericDisplay : public QFrame, public core::ShownValue {
public:
    NumericDisplay(const QString& objectName, RefreshClock& clock, QWidget* parent = nullptr);
    void SetValue(int value);
    int Value() const { return value; }
    QString Text() const { return QString::number(value); }
    QString ShownText() const override { return Text(); }
    void SetValueBackground(const QColor& colour);
    QColor ValueBackground() const { return background; }
    // A value no longer live (the link failed) is shown greyed, not cleared.
    void SetStale(bool stale);
    bool IsStale() const { return stale; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RefreshClock& clock;
    RefreshClock::Mark mark;
    int value = 0;
    QColor background = Qt::white;
    bool stale = false;
};

class ColourSwatch : public QFrame {
public:
    ColourSwatch(const QString& objectName, RefreshClock& clock, QWidget* parent = nullptr);
    void SetColour(std::uint32_t rgb);
    std::uint32_t Colour() const { return colour; }
    void SetStale(bool stale);
    bool IsStale() const { return stale; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RefreshClock& clock;
    RefreshClock::Mark mark;
    std::uint32_t colour = 0;
    bool stale = false;
};

class IndicatorLed : public QWidget {
public:
    IndicatorLed(const QString& objectName, QColor onColour, RefreshClock& clock,
                 QWidget* parent = nullptr);
    void SetOn(bool on);
    bool IsOn() const { return on; }
    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RefreshClock& clock;
    RefreshClock::Mark mark;
    QColor onColour;
    bool on = false;
};

} // namespace live
