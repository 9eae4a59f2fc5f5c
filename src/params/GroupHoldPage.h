#pragma once
// The group/hold page: COLOR GROUP, the group table (GROUP of every teach row), the hold table
// (HOLD FAIL, then HOLD of every teach row), the hold reset value and the two table resets.
#include <QWidget>

#include <cstdint>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class Program;

class GroupHoldPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGroupRows = 31;
    static constexpr int kHoldRows = 32;
    static constexpr int kValueColumn = 0;
    static constexpr int kColourColumn = 1;

    explicit GroupHoldPage(Program& program, QWidget* parent = nullptr);

    std::uint16_t ColorGroup() const;
    // Any value other than 0 means on; false when the shown value differs from `value`.
    bool SetColorGroup(std::uint16_t value);

    QComboBox* editColorGroups;
    QTableWidget* editGridGroups;
    QTableWidget* editGridHold;
    QLabel* editHold; // caption of the hold table; only answers with its help text
    QSpinBox* editResetHold;
    QPushButton* buttonResetGroupTable;
    QPushButton* buttonResetHoldTable;

    void CBF_EditColorGroups();
    void CBF_EditGridGroups();
    void CBF_ButtonResetGroupTable();
    void CBF_ButtonResetHoldTable();

private:
    QWidget* BuildTables();

    Program& program;
};
