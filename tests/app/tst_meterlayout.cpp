#include "TestRegistry.h"
#include "app/MeterLayout.h"

#include <QTest>

class MeterLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void twipsToPixels_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("one pixel") << 15 << 1;
        QTest::newRow("column pitch") << 1180 << 79;
        QTest::newRow("rounds half away") << 7 << 0;
        QTest::newRow("rounds up") << 8 << 1;
    }
    void twipsToPixels()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(TwipsToPixels(twips), pixels);
    }

    // Twips to the bar, exact: a pixel hides a twip, so the window's picture would not see one.
    void layoutFromColumnFrame()
    {
        const MeterLayout layout = MeterLayout::FromColumnFrame(120, QRect(120, 300, 420, 2640));
        QCOMPARE(layout.BarTop, 420);
        QCOMPARE(layout.BarHeight, 2480);
        QCOMPARE(layout.BarLeft, 280);
        QCOMPARE(layout.BarWidth, 320);
    }

    void placesTheBarTop_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("fillTop"); // bar area from 1000 to 2000
        QTest::newRow("half") << 0.0 << 100.0 << 50.0 << 1500;
        QTest::newRow("full") << 0.0 << 100.0 << 100.0 << 1000;
        QTest::newRow("empty") << 0.0 << 100.0 << 0.0 << 2000;
        QTest::newRow("above the top clamps") << 0.0 << 100.0 << 250.0 << 1000;
        QTest::newRow("below the bottom clamps") << 10.0 << 20.0 << -5.0 << 2000;
        QTest::newRow("no span") << 5.0 << 5.0 << 7.0 << 2000;
        QTest::newRow("span below the threshold") << 5.0 << 5.000001 << 5.000001 << 2000;
        QTest::newRow("inverted scale") << 100.0 << 0.0 << 25.0 << 1250;
        QTest::newRow("rounded to whole twips") << 0.0 << 3.0 << 1.0 << 1667;
    }
    void placesTheBarTop()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(double, value);
        QFETCH(int, fillTop);
        MeterLayout layout;
        layout.BarTop = 400;
        layout.BarHeight = 1000;
        layout.BarLeft = 280;
        MeterColumn column;
        column.Minimum = minimum;
        column.Maximum = maximum;
        column.Value = value;
        const BarDrawing bar = PlaceBar(layout, 600, 2, column);
        QCOMPARE(bar.Top, 1000);
        QCOMPARE(bar.Left, 280 + 2 * 1180);
        QCOMPARE(bar.FillTop, fillTop);
        QCOMPARE(column.BarPosition, fillTop);
    }

    void redrawsOnlyOnChange()
    {
        MeterLayout layout;
        layout.BarHeight = 1000;
        MeterColumn column;
        column.Maximum = 10.0;
        column.Value = 5.0;
        QVERIFY(PlaceBar(layout, 0, 0, column).Changed);  // position 0 forces the first drawing
        QVERIFY(!PlaceBar(layout, 0, 0, column).Changed); // nothing moved
        column.Shown = true;
        QVERIFY(PlaceBar(layout, 0, 0, column).Changed);  // shown state differs from the last applied
        column.LastShown = true;
        column.Value = 5.001; // less than a twip
        QVERIFY(!PlaceBar(layout, 0, 0, column).Changed);
        column.Value = 6.0;
        QVERIFY(PlaceBar(layout, 0, 0, column).Changed);
    }
};

BREVEL_TEST(MeterLayoutTest)
#include "tst_meterlayout.moc"
