#pragma once
// Parameter words shown in controls, from one table that both directions read: each word has
// its control (a number field, with an optional slider showing the same number, or a list of
// coded items) and its usual range. A word the sensor sends outside that range is held exactly
// as received, so that a later SEND writes back what a GET read: a number field widens its
// range to hold it, a list shows it as an extra item "<code> (from sensor)" that stays until
// the operator chooses another item.
#include "controls/WordTable.h"

#include <QObject>

#include <cstdint>
#include <vector>

class QAbstractSlider;
class QComboBox;
class QSpinBox;
class QWidget;

namespace core {

class WordControls : public QObject {
public:
    explicit WordControls(QObject* parent = nullptr) : QObject(parent) {}

    void BindNumber(int word, QSpinBox* field, int min, int max, QAbstractSlider* twin = nullptr);
    void BindList(int word, QComboBox* list);

    bool Has(int word) const { return Find(word) != nullptr; }
    std::uint16_t Word(int word) const;
    // Shows `value` exactly; false when it lies outside the control's usual range or list.
    bool SetWord(int word, std::uint16_t value);
    // Replaces the items of a bound list, keeping the shown code when the new list holds it,
    // else showing `fallback`.
    void SetItems(int word, const CodeItems& items, std::uint16_t fallback);
    // Items of a bound list, not counting an extra item of a code from the sensor.
    int RegularItemCount(int word) const;

    static QString ExtraItemText(std::uint16_t code);

private:
    struct Binding {
        int word = -1;
        QSpinBox* field = nullptr;
        QAbstractSlider* twin = nullptr;
        QComboBox* list = nullptr;
        int min = 0;
        int max = 0;
    };
    const Binding* Find(int word) const;
    static bool ShowNumber(const Binding& binding, std::uint16_t value);
    static bool ShowCode(QComboBox* list, std::uint16_t code);
    static void DropExtraItems(QComboBox* list);

    std::vector<Binding> bindings;
};

} // namespace core
