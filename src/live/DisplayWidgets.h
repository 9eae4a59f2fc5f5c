#pragma once
// Small display widgets for live values. Values are stored at once, every turn; repainting is
// coalesced to the screen's pace by one shared refresh clock, so a fast sensor never waits for
// the painter.
#include <QColor>
#include <QFrame>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <vector>

namespace live {

class RefreshClock : public QObject {
public:
    explicit RefreshClock(QObject* parent = nullptr);
    void MarkDirty(QWidget* widget);
    static constexpr int kIntervalMs = 40;

private:
    void Flush();
    QTimer timer;
    std::vector<QPointer<QWidget>> dirty;
};

class NumericDisplay : public QFrame {
public:
    NumericDisplay(const QString& objectName, RefreshClock& clock, QWidget* parent = nullptr);
    void SetValue(int value);
    int Value() const { return value; }
    QString Text() const { return QString::number(value); }
    void SetValueBackground(const QColor& colour);
    QColor ValueBackground() const { return background; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RefreshClock& clock;
    int value = 0;
    QColor background = Qt::white;
};

class ColourSwatch : public QFrame {
public:
    ColourSwatch(const QString& objectName, RefreshClock& clock, QWidget* parent = nullptr);
    void SetColour(std::uint32_t rgb);
    std::uint32_t Colour() const { return colour; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RefreshClock& clock;
    std::uint32_t colour = 0;
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
    QColor onColour;
    bool on = false;
};

} // namespace live
