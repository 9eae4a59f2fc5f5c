#include "app/AccessibleNames.h"

#include "controls/AccessibleValue.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFormLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextEdit>

namespace app {

namespace {

// A list as a screen reader should hear it: named after its caption like every other control,
// its entry as its value and its text, its entries as a child list with the entry selected.
// Qt's own list interface on Linux gives the entry as the name.
class ListAccessible : public core::ReadOnlyTextAccessible {
public:
    explicit ListAccessible(QComboBox* list)
        : core::ReadOnlyTextAccessible(list, QAccessible::ComboBox) {}

    QString Shown() const override {
        return List()->isEditable() ? List()->lineEdit()->text() : List()->currentText();
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = List()->view()->isVisible();
        state.editable = List()->isEditable();
        return state;
    }
    int childCount() const override { return List()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(List()->view());
        if (index == 1 && List()->isEditable())
            return QAccessible::queryAccessibleInterface(List()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->object() == List()->view()) return 0;
        if (List()->isEditable() && child->object() == List()->lineEdit()) return 1;
        return -1;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction()) return QAccessibleWidget::doAction(action);
        if (List()->view()->isVisible())
            List()->hidePopup();
        else
            List()->showPopup();
    }

private:
    QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* ListFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QComboBox") || !object || !object->isWidgetType())
        return nullptr;
    return new ListAccessible(static_cast<QComboBox*>(object));
}

// The entries' list selects the current entry only when it opens: kept selected while it is
// closed, so a screen reader finds the entry among the list's children. The view's own
// selection event is held back so the change is told once, here.
void SelectCurrentEntry(QComboBox& list, bool announce) {
    QItemSelectionModel* selection = list.view()->selectionModel();
    if (!selection) return;
    const QModelIndex entry =
        list.model()->index(list.currentIndex(), list.modelColumn(), list.rootModelIndex());
    {
        const QSignalBlocker quiet(selection);
        if (entry.isValid())
            selection->select(entry, QItemSelectionModel::ClearAndSelect);
        else
            selection->clearSelection();
    }
    if (!announce || !entry.isValid() || !core::ScreenReaderListens()) return;
    QAccessibleEvent selected(list.view(), QAccessible::Selection);
    selected.setChild(entry.row());
    core::Announce(selected);
}

// Qt makes and keeps a list's interface as soon as the list reports a change, even with no
// screen reader listening: one made before our factory was there is dropped, so the next
// question makes ours.
void UseListInterface(QComboBox& list) {
    SelectCurrentEntry(list, false);
    if (!list.property("chromixEntrySelected").toBool()) {
        list.setProperty("chromixEntrySelected", true);
        QObject::connect(&list, &QComboBox::currentIndexChanged, &list,
                         [&list] { SelectCurrentEntry(list, true); });
    }
    QAccessibleInterface* current = QAccessible::queryAccessibleInterface(&list);
    if (!current || dynamic_cast<ListAccessible*>(current)) return;
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
}

// The caption as a name: no mnemonic "&" ("&&" is a plain "&"), no trailing ":".
QString CaptionName(const QString& caption) {
    QString name;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) {
            name += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
            name += QLatin1Char('&');
            ++i;
        }
    }
    name = name.trimmed();
    while (name.endsWith(QLatin1Char(':')))
        name = name.chopped(1).trimmed();
    return name;
}

bool IsControl(const QWidget& widget) {
    return qobject_cast<const QAbstractButton*>(&widget) ||
           qobject_cast<const QComboBox*>(&widget) ||
           qobject_cast<const QAbstractSpinBox*>(&widget) ||
           qobject_cast<const QLineEdit*>(&widget) ||
           (qobject_cast<const QAbstractSlider*>(&widget) && !widget.inherits("QScrollBar")) ||
           qobject_cast<const QAbstractItemView*>(&widget) ||
           qobject_cast<const QPlainTextEdit*>(&widget) || qobject_cast<const QTextEdit*>(&widget);
}

// A control, or a display of our own that paints what it shows (nothing inside it).
bool IsNamedWhole(const QWidget& widget) {
    return IsControl(widget) || widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
}

// Qt reads the caption of a control by itself when the caption is its buddy beside it (except
// for tables), and then follows the caption as it changes.
bool QtReadsCaption(const QWidget& target, const QLabel& caption) {
    return caption.buddy() == &target && caption.parentWidget() == target.parentWidget() &&
           !qobject_cast<const QAbstractItemView*>(&target) &&
           CaptionName(caption.text()) == caption.text();
}

// The controls inside a composed field (a colour selector: its swatch and its number), not
// the parts of those controls.
void CollectControls(const QWidget& container, QList<QWidget*>& controls) {
    for (QWidget* child : container.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;
        if (IsControl(*child))
            controls << child;
        else
            CollectControls(*child, controls);
    }
}

bool HasOwnName(const QWidget& control) {
    if (!control.accessibleName().isEmpty()) return true;
    const auto* button = qobject_cast<const QAbstractButton*>(&control);
    return button && !button->text().isEmpty();
}

void NameAfterCaption(QWidget& target, const QLabel& caption) {
    const QString name = CaptionName(caption.text());
    // A display of a measured value is its caption, its number the value; other text shown is
    // announced by itself.
    if (core::IsValueLabel(target)) {
        if (!name.isEmpty() && target.accessibleName().isEmpty()) target.setAccessibleName(name);
        return;
    }
    if (qobject_cast<const QLabel*>(&target)) return;
    if (name.isEmpty()) return;
    if (IsNamedWhole(target)) {
        if (target.accessibleName().isEmpty() && !QtReadsCaption(target, caption))
            target.setAccessibleName(name);
        return;
    }
    QList<QWidget*> controls;
    CollectControls(target, controls);
    for (QWidget* control : controls) {
        if (!HasOwnName(*control)) control->setAccessibleName(name);
    }
}

void CollectLayoutWidgets(QLayout& layout, QList<QWidget*>& widgets) {
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem* item = layout.itemAt(i);
        if (QWidget* widget = item->widget())
            widgets << widget;
        else if (QLayout* inner = item->layout())
            CollectLayoutWidgets(*inner, widgets);
    }
}

// A form pairs each field with the caption of its row; a field that is a row of its own (the
// POWER slider and its number) gives the caption to each of its widgets.
void NameFormFields(QFormLayout& form) {
    for (int row = 0; row < form.rowCount(); ++row) {
        QLayoutItem* label = form.itemAt(row, QFormLayout::LabelRole);
        QLayoutItem* field = form.itemAt(row, QFormLayout::FieldRole);
        auto* caption = label ? qobject_cast<QLabel*>(label->widget()) : nullptr;
        if (!caption || !field) continue;
        if (QWidget* widget = field->widget()) {
            // The buddy also leads a right click on the caption to the field's help.
            if (!caption->buddy()) caption->setBuddy(widget);
            NameAfterCaption(*widget, *caption);
        } else if (QLayout* inner = field->layout()) {
            QList<QWidget*> widgets;
            CollectLayoutWidgets(*inner, widgets);
            for (QWidget* widget : widgets)
                NameAfterCaption(*widget, *caption);
        }
    }
}

} // namespace

void NameControls(QWidget& root) {
    static const bool listsNamed = [] {
        QAccessible::installFactory(ListFactory);
        core::InstallValueAccessibility();
        return true;
    }();
    Q_UNUSED(listsNamed);
    for (QComboBox* list : root.findChildren<QComboBox*>())
        UseListInterface(*list);

    // Layouts are children of their widgets and of their outer layouts: all are found.
    for (QFormLayout* form : root.findChildren<QFormLayout*>())
        NameFormFields(*form);
    for (QLabel* caption : root.findChildren<QLabel*>()) {
        if (QWidget* buddy = caption->buddy()) NameAfterCaption(*buddy, *caption);
    }
}

} // namespace app
