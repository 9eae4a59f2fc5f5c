#include "controls/ValueDisplay.h"

#include "controls/AccessibleValue.h"

#include <QLabel>

namespace core {

QLabel* MakeValueDisplay(QWidget* parent, const char* role, int minimumWidth) {
    auto* display = new QLabel(QStringLiteral("0"), parent);
    display->setObjectName(QString::fromLatin1(role));
    display->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MarkValueLabel(*display);
    if (minimumWidth > 0) display->setMinimumWidth(minimumWidth);
    return display;
}

} // namespace core
