#pragma once
// The brand block at the top of the main window: the program title, the contact lines of the
// company that ships the program, and its logo.
#include <QWidget>

class QLabel;

namespace access_ {

// Where the logo `file` is read: beside the program (a build, a copy of its own), else in the
// data folder of an installed program (../share/chromix3 from the program's folder).
QString LogoPath(const QString& programDirectory, const QString& file);

class BrandBlock : public QWidget {
    Q_OBJECT
public:
    // `brandNumber` without an entry shows the title alone, black on white. The logo is read
    // as LogoPath says; when it is missing the picture stays empty.
    BrandBlock(int brandNumber, const QString& programDirectory, QWidget* parent = nullptr);

    bool HasBrand() const { return hasBrand; }
    bool HasLogo() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* AddLabel(const char* role, const QString& text, int pointSize, bool bold);

    bool hasBrand = false;
    QColor back;
    QColor frame;
    QLabel* dispBrandLogo = nullptr;
};

} // namespace access_
