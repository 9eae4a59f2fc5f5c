#pragma once
// The password popup in front of the service page, and the trigger that opens it on a right
// double click on the widget it watches.
#include <QDialog>

class QLineEdit;

namespace core {
class OperatorDialogs;
}

namespace access_ {

class PasswordPanel : public QDialog {
    Q_OBJECT
public:
    explicit PasswordPanel(core::OperatorDialogs& dialogs, QWidget* parent = nullptr);

    // Empties the field and runs the popup modally; true when the right password was entered,
    // false when the popup was closed.
    bool Ask();

    // Enter in the field: the right password closes the popup unlocked; a wrong one is told,
    // the field emptied and the popup stays for another try.
    void CBF_StringEnterPW();

private:
    core::OperatorDialogs& dialogs;
    QLineEdit* stringEnterPW;
};

class PasswordTrigger : public QObject {
    Q_OBJECT
public:
    // The popup is made here, as a child of `window` so it opens over it.
    PasswordTrigger(core::OperatorDialogs& dialogs, QWidget* window);

    // Installs this trigger as an event filter of `widget`.
    void Watch(QWidget* widget);
    PasswordPanel& Panel() { return *panel; }

signals:
    void Unlocked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Open();

    PasswordPanel* panel;
    bool opening = false;
};

} // namespace access_
