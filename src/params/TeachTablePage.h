#pragma once
// The teach-table page: the teach table (31 rows labelled 0..30, five value columns whose
// headings follow the calculation and evaluation modes, one row-colour column). The teach
// operations put their controls into the tool area above the table.
#include <QWidget>

class QTableWidget;
class QVBoxLayout;
class Program;

class TeachTablePage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kValueColumns = 5;
    static constexpr int kColourColumn = 5; // 0-based; column 6 to the operator

    explicit TeachTablePage(Program& program, QWidget* parent = nullptr);

    // Headings of the five value columns; an empty text hides a heading.
    void SetHeadings(const QStringList& headings);

    QTableWidget* gridCtt;
    QWidget* toolArea;
    QVBoxLayout* toolLayout; // empty until the teach controls are added

    void CBF_GridCtt();

private:
    Program& program;
};
