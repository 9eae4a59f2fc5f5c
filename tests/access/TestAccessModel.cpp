// The brand table alone (the password is tested through its popup).
#include "access/Brand.h"

#include <QFileInfo>
#include <QtTest>

using namespace access_;

class TestAccessModel : public QObject {
    Q_OBJECT

private slots:
    void eachBrandHasItsLinesAndALogoBesideTheProgram_data() {
        QTest::addColumn<int>("number");
        for (int n = 1; n <= kBrandCount; ++n)
            QTest::addRow("%d", n) << n;
    }
    void eachBrandHasItsLinesAndALogoBesideTheProgram() {
        QFETCH(int, number);
        const BrandEntry* brand = Brand(number);
        QVERIFY(brand);
        QVERIFY(!brand->company.empty() && !brand->telephone.empty() && !brand->web.empty());
        QCOMPARE(brand->contactPointSize, 11);
        QVERIFY(brand->textColour != brand->backColour);
        const QString logo = QString::fromLatin1(brand->logoFile.data(), brand->logoFile.size());
        QVERIFY2(QFileInfo::exists(QStringLiteral(BRAND_ASSETS "/") + logo), qPrintable(logo));
        QVERIFY2(QFileInfo::exists(QStringLiteral(PROGRAM_DIR "/") + logo), "not beside chromix3");
    }

    void otherNumbersHaveNoBrand() {
        for (int number : {0, 4, -1})
            QCOMPARE(Brand(number), nullptr);
        QCOMPARE(BuiltBrand(), EXPECTED_BRAND);
    }
};

QTEST_MAIN(TestAccessModel)
#include "TestAccessModel.moc"
