#pragma once
// The mouse wheel changes a list, number field or slider only when it has the focus; otherwise
// the wheel scrolls the page under it, as if the control were not there. Rolling over a long
// page must never change a setting on the way.
#include <QObject>

namespace app {

class WheelGuard : public QObject {
public:
    explicit WheelGuard(QObject* parent = nullptr);
    // Watches every widget of the application, those that exist and those to come.
    void Install();
    void Remove();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace app
