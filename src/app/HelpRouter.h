#pragma once
// One mechanism for every control's right-click help: the control's object name is its role,
// and its help entry is keyed by the handler name "CBF_" + role. A right click shows the entry
// and is swallowed, so it never triggers the control's action.
#include <QObject>

class OperatorDialogs;

class HelpRouter : public QObject {
public:
    explicit HelpRouter(OperatorDialogs& dialogs, QObject* parent = nullptr);
    // The callback name whose help a right click on `widget` shows, or empty when none.
    static QString HelpKeyFor(const QObject* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OperatorDialogs& dialogs;
};
