#pragma once
// Displays of measured values as a screen reader reads them: named after their caption, the
// number they show as their value and their text.
#include <QAccessibleWidget>
#include <QString>

class QLabel;

namespace core {

// A display that paints its value itself tells what it shows.
class ShownValue {
public:
    virtual ~ShownValue() = default;
    virtual QString ShownText() const = 0;
};

// A widget whose text a screen reader reads but cannot edit: the text interface over what
// Shown() returns.
class ReadOnlyTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    ReadOnlyTextAccessible(QWidget* widget, QAccessible::Role role);
    virtual QString Shown() const = 0;

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;

    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;
};

// The value a display shows as a number for the value interface: an integer where it is one,
// nothing where the text is no number.
QVariant ShownNumber(const QString& shown);

// Makes every ShownValue and every label marked by MarkValueLabel a value a screen reader
// reads. Installed once; later calls do nothing.
void InstallValueAccessibility();

// What a screen reader should hear goes to Qt, which passes it on while one listens
// (QAccessible::isActive()). A listener put in its place hears everything instead: the
// offscreen platform has no screen reader to activate.
using AccessibleListener = void (*)(QAccessibleEvent* event);
void ListenInsteadOfScreenReader(AccessibleListener listener);
bool ScreenReaderListens();
void Announce(QAccessibleEvent& event);
void MarkValueLabel(QLabel& label);
bool IsValueLabel(const QWidget& widget);

} // namespace core
