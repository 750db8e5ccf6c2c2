#include "TestRegistry.h"
#include "link/ClockOffsetText.h"

#include <QTest>

class ClockOffsetTextTest : public QObject {
    Q_OBJECT
private slots:
    void saysHowFarAndWhichWay_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("same") << qint64(0) << "Logger clock agrees with this computer";
        QTest::newRow("behind") << qint64(-133) << "Logger clock 2 min 13 s behind this computer";
        QTest::newRow("ahead") << qint64(59) << "Logger clock 59 s ahead of this computer";
        QTest::newRow("hours") << qint64(3 * 3600 + 5 * 60 + 9) << "Logger clock 3 h 5 min ahead of this computer";
        QTest::newRow("a day") << qint64(-86400 - 7200) << "Logger clock 1 day 2 h behind this computer";
    }
    void saysHowFarAndWhichWay()
    {
        QFETCH(qint64, seconds);
        QTEST(ClockOffsetText(seconds), "text");
    }
};

BREVEL_TEST(ClockOffsetTextTest)
#include "tst_clockoffsettext.moc"
