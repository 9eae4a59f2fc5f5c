#include "controls/AccessibleValue.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>

namespace core {

namespace {

constexpr char kValueLabel[] = "chromixValueLabel";
AccessibleListener listenerInstead = nullptr;

class ValueAccessible : public ReadOnlyTextAccessible, public QAccessibleValueInterface {
public:
    explicit ValueAccessible(QWidget* widget)
        : ReadOnlyTextAccessible(widget, QAccessible::StaticText) {}

    QString Shown() const override {
        if (const auto* shown = dynamic_cast<const ShownValue*>(widget()))
            return shown->ShownText();
        if (const auto* label = qobject_cast<const QLabel*>(widget())) return label->text();
        return {};
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return ReadOnlyTextAccessible::interface_cast(type);
    }

    QVariant currentValue() const override { return ShownNumber(Shown()); }
    void setCurrentValue(const QVariant&) override {}
    // The displays hold five digits and a sign.
    QVariant maximumValue() const override { return 99999; }
    QVariant minimumValue() const override { return -99999; }
    QVariant minimumStepSize() const override { return {}; }
};

// A label shows a new value when it paints one: told then, so a label set many times between
// two frames is heard once, and one out of sight not at all.
class LabelValueWatch : public QObject {
public:
    explicit LabelValueWatch(QLabel& label) : QObject(&label), told(label.text()) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        const QString shown = static_cast<QLabel*>(watched)->text();
        if (shown == told) return false;
        told = shown;
        if (ScreenReaderListens()) {
            QAccessibleValueChangeEvent change(watched, ShownNumber(shown));
            Announce(change);
        }
        return false;
    }

private:
    QString told;
};

QAccessibleInterface* ValueFactory(const QString& className, QObject* object) {
    // Asked once per class up the chain: answered for the object's own class only.
    if (!object || !object->isWidgetType() ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (dynamic_cast<ShownValue*>(object) || IsValueLabel(*widget))
        return new ValueAccessible(widget);
    return nullptr;
}

} // namespace

ReadOnlyTextAccessible::ReadOnlyTextAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role) {}

void* ReadOnlyTextAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State ReadOnlyTextAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    return state;
}

QString ReadOnlyTextAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) return Shown();
    return QAccessibleWidget::text(kind);
}

QString ReadOnlyTextAccessible::text(int startOffset, int endOffset) const {
    return Shown().mid(startOffset, endOffset - startOffset);
}

int ReadOnlyTextAccessible::characterCount() const {
    return int(Shown().size());
}

void ReadOnlyTextAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
}

QString ReadOnlyTextAccessible::attributes(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

QVariant ShownNumber(const QString& shown) {
    bool whole = false;
    const int integer = shown.toInt(&whole);
    if (whole) return integer;
    bool number = false;
    const double real = shown.toDouble(&number);
    return number ? QVariant(real) : QVariant();
}

void InstallValueAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ValueFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void ListenInsteadOfScreenReader(AccessibleListener listener) {
    listenerInstead = listener;
}

bool ScreenReaderListens() {
    return listenerInstead || QAccessible::isActive();
}

void Announce(QAccessibleEvent& event) {
    if (listenerInstead)
        listenerInstead(&event);
    else
        QAccessible::updateAccessibility(&event);
}

void MarkValueLabel(QLabel& label) {
    // Before the label reports anything more, so what it reports is told through ours.
    InstallValueAccessibility();
    label.setProperty(kValueLabel, true);
    label.installEventFilter(new LabelValueWatch(label));
    // A label reports its first text as it is made, and Qt keeps the plain interface it made
    // for that: dropped, so the next question makes ours.
    QAccessibleInterface* current = QAccessible::queryAccessibleInterface(&label);
    if (current && !dynamic_cast<ValueAccessible*>(current))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
}

bool IsValueLabel(const QWidget& widget) {
    return widget.property(kValueLabel).toBool();
}

} // namespace core
