#include "TestRegistry.h"
#include "core/NumberText.h"

#include <QTest>

#include <cmath>

// The leading number without NumberValue's commas: what the settings image
// takes as the interval count.
class LeadingNumberTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("count and unit") << "15 minutes" << 15.0;
        QTest::newRow("tab") << "\t3" << 3.0;
        QTest::newRow("trailing point") << "4.days" << 4.0;
        QTest::newRow("negative exponent") << "25E-1" << 2.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("comma stops") << "1,5" << 1.0;
        QTest::newRow("lone sign") << "- 3" << 0.0;
        QTest::newRow("lone point") << ". 3" << 0.0;
        QTest::newRow("too large") << "1e999 s" << HUGE_VAL;
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
