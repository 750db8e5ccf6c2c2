#include "TestRegistry.h"
#include "core/LeadingNumber.h"

#include <QTest>

class LeadingNumberTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("count and unit") << "15 minutes" << 15.0;
        QTest::newRow("leading blanks") << "   7 days" << 7.0;
        QTest::newRow("tab") << "\t3" << 3.0;
        QTest::newRow("decimals") << "2.75hours" << 2.75;
        QTest::newRow("no integer part") << ".5" << 0.5;
        QTest::newRow("trailing point") << "4." << 4.0;
        QTest::newRow("sign") << "-12.5 x" << -12.5;
        QTest::newRow("plus") << "+8" << 8.0;
        QTest::newRow("exponent") << "2.5e2 s" << 250.0;
        QTest::newRow("negative exponent") << "25E-1" << 2.5;
        QTest::newRow("letter e without digits") << "3eggs" << 3.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("comma stops") << "1,5" << 1.0;
        QTest::newRow("no number") << "day" << 0.0;
        QTest::newRow("lone sign") << "- 3" << 0.0;
        QTest::newRow("lone point") << ". 3" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }
    void readsTheLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(LeadingNumber(text), value);
    }
};

BREVEL_TEST(LeadingNumberTest)
#include "tst_leadingnumber.moc"
