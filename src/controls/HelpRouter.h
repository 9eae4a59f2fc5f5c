#pragma once
// One mechanism for every control's right-click help: the control's object name is its role,
// and its help entry is keyed by the handler name "CBF_" + role. A right click shows the entry
// and is swallowed, so it never triggers the control's action.
#include <QObject>

namespace core {

class HelpBook;
class OperatorDialogs;

class HelpRouter : public QObject {
public:
    HelpRouter(const HelpBook& book, OperatorDialogs& dialogs, QObject* parent = nullptr);
    // The callback name whose help a right click on `widget` shows, or empty when none.
    QString HelpKeyFor(const QObject* widget) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const HelpBook& book;
    OperatorDialogs& dialogs;
};

} // namespace core
