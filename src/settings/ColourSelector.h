#pragma once
// The colour selector of the table attributes page: a swatch that opens the colour chooser and a
// "#RRGGBB" field for typing any 24-bit colour exactly.
#include <QWidget>

#include <cstdint>
#include <functional>

class QLineEdit;
class QToolButton;

namespace settings {

class ColourSelector : public QWidget {
public:
    explicit ColourSelector(const QString& objectName, QWidget* parent = nullptr);

    std::uint32_t Colour() const { return colour; }
    // Shows the colour without committing it.
    void SetColour(std::uint32_t rgb);

    // Called after the operator chose or typed a colour.
    std::function<void()> onCommit;

private:
    void ChooseWithDialog();
    void TakeTypedColour();
    void Commit(std::uint32_t rgb);

    QToolButton* swatch;
    QLineEdit* hexField;
    std::uint32_t colour = 0xFF0000;
};

} // namespace settings
