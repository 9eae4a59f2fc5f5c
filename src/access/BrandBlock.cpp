#include "access/BrandBlock.h"

#include "access/Brand.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace access_ {

namespace {

QColor ColourOf(std::uint32_t rgb) {
    return QColor::fromRgb(QRgb(rgb));
}

QString TextOf(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

QString LogoPath(const QString& programDirectory, const QString& file) {
    const QDir program(programDirectory);
    const QString beside = program.filePath(file);
    if (QFileInfo::exists(beside)) return beside;
    const QString installed = program.filePath(QStringLiteral("../share/chromix3/") + file);
    return QFileInfo::exists(installed) ? QDir::cleanPath(installed) : beside;
}

BrandBlock::BrandBlock(int brandNumber, const QString& programDirectory, QWidget* parent)
    : QWidget(parent), back(Qt::white), frame(Qt::white) {
    setObjectName(QStringLiteral("BrandBlock"));
    const BrandEntry* brand = Brand(brandNumber);
    hasBrand = brand != nullptr;
    QColor text(Qt::black);
    if (brand) {
        text = ColourOf(brand->textColour);
        back = ColourOf(brand->backColour);
        frame = back.darker(140);
    }
    QPalette colours = palette();
    colours.setColor(QPalette::Window, back);
    colours.setColor(QPalette::WindowText, text);
    setPalette(colours);
    // One row that keeps its height when the window grows.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 4, 8, 4);
    row->setSpacing(14);
    row->addWidget(AddLabel("DispBrandTitle", TextOf(kProgramTitle),
                            brand ? brand->titlePointSize : kNoBrandTitlePointSize, true));
    if (brand) {
        auto* contact = new QVBoxLayout;
        contact->setSpacing(0);
        contact->addWidget(
            AddLabel("DispBrandCompany", TextOf(brand->company), brand->contactPointSize, false));
        contact->addWidget(
            AddLabel("DispBrandPhone", TextOf(brand->telephone), brand->contactPointSize, false));
        contact->addWidget(
            AddLabel("DispBrandWeb", TextOf(brand->web), brand->contactPointSize, false));
        row->addLayout(contact);
    }
    row->addStretch(1);
    if (brand) {
        dispBrandLogo = new QLabel(this);
        dispBrandLogo->setObjectName(QStringLiteral("DispBrandLogo"));
        // A missing or unreadable file leaves the picture empty: the brand is decoration, and
        // the operator can do nothing about it.
        const QPixmap logo(LogoPath(programDirectory, TextOf(brand->logoFile)));
        if (!logo.isNull()) dispBrandLogo->setPixmap(logo);
        row->addWidget(dispBrandLogo, 0, Qt::AlignRight | Qt::AlignVCenter);
    }
}

bool BrandBlock::HasLogo() const {
    return dispBrandLogo && !dispBrandLogo->pixmap().isNull();
}

QLabel* BrandBlock::AddLabel(const char* role, const QString& text, int pointSize, bool bold) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(role));
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void BrandBlock::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), back);
    painter.setPen(frame);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace access_
