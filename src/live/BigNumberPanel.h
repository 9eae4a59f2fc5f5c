#pragma once
// A top-level window that repeats one live number in large digits. A right click or the close
// box hides it; it keeps being updated while hidden.
#include "live/DisplayWidgets.h"

#include <QWidget>

class QLabel;

namespace live {

class BigNumberPanel : public QWidget {
public:
    BigNumberPanel(const QString& objectName, const QString& title, RefreshClock& clock);
    void SetValue(int value);
    int Value() const { return value; }
    void SetStale(bool stale);

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    RefreshClock& clock;
    RefreshClock::Mark mark;
    int value = 0;
    bool stale = false;
};

} // namespace live
