#include "controls/WordControls.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>

namespace core {

namespace {
// Marks the item that shows a code from the sensor that the list does not offer.
constexpr int kExtraItemRole = Qt::UserRole + 1;
} // namespace

QString WordControls::ExtraItemText(std::uint16_t code) {
    return QStringLiteral("%1 (from sensor)").arg(code);
}

void WordControls::BindNumber(int word, QSpinBox* field, int min, int max, QAbstractSlider* twin) {
    bindings.push_back({word, field, twin, nullptr, min, max});
    field->setRange(min, max);
    if (twin) twin->setRange(min, max);
}

void WordControls::BindList(int word, QComboBox* list) {
    bindings.push_back({word, nullptr, nullptr, list, 0, 0});
    // Choosing a regular item ends the extra item of a code from the sensor.
    connect(list, &QComboBox::activated, this, [list](int index) {
        if (!list->itemData(index, kExtraItemRole).toBool()) DropExtraItems(list);
    });
}

const WordControls::Binding* WordControls::Find(int word) const {
    const auto found = std::find_if(bindings.begin(), bindings.end(),
                                    [word](const Binding& b) { return b.word == word; });
    return found == bindings.end() ? nullptr : &*found;
}

std::uint16_t WordControls::Word(int word) const {
    const Binding* binding = Find(word);
    if (!binding) return 0;
    if (binding->list) return CurrentCode(binding->list);
    return std::uint16_t(std::clamp(binding->field->value(), 0, 0xFFFF));
}

bool WordControls::SetWord(int word, std::uint16_t value) {
    const Binding* binding = Find(word);
    if (!binding) return true;
    if (binding->list) return ShowCode(binding->list, value);
    return ShowNumber(*binding, value);
}

bool WordControls::ShowNumber(const Binding& b, std::uint16_t value) {
    const int v = int(value);
    const bool usual = v >= b.min && v <= b.max;
    const QSignalBlocker blocker(b.field);
    b.field->setRange(std::min(b.min, v), std::max(b.max, v));
    b.field->setValue(v);
    if (b.twin) {
        const QSignalBlocker twinBlocker(b.twin);
        b.twin->setValue(v); // the slider stops at its end; the field holds the number
    }
    return usual;
}

bool WordControls::ShowCode(QComboBox* list, std::uint16_t code) {
    const QSignalBlocker blocker(list);
    DropExtraItems(list);
    int index = list->findData(int(code));
    const bool found = index >= 0;
    if (!found) {
        list->addItem(ExtraItemText(code), int(code));
        index = list->count() - 1;
        list->setItemData(index, true, kExtraItemRole);
    }
    list->setCurrentIndex(index);
    return found;
}

void WordControls::DropExtraItems(QComboBox* list) {
    const QSignalBlocker blocker(list);
    for (int i = list->count() - 1; i >= 0; --i) {
        if (list->itemData(i, kExtraItemRole).toBool()) list->removeItem(i);
    }
}

void WordControls::SetItems(int word, const CodeItems& items, std::uint16_t fallback) {
    const Binding* binding = Find(word);
    if (!binding || !binding->list) return;
    QComboBox* list = binding->list;
    const std::uint16_t shown = list->count() > 0 ? CurrentCode(list) : fallback;
    FillCodes(list, items);
    SelectCode(list, shown, fallback);
}

int WordControls::RegularItemCount(int word) const {
    const Binding* binding = Find(word);
    if (!binding || !binding->list) return 0;
    int count = 0;
    for (int i = 0; i < binding->list->count(); ++i)
        count += binding->list->itemData(i, kExtraItemRole).toBool() ? 0 : 1;
    return count;
}

} // namespace core
