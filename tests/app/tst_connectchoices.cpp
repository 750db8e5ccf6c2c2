#include "TestRegistry.h"
#include "app/ConnectChoices.h"

#include <QTest>

class ConnectChoicesTest : public QObject {
    Q_OBJECT
private slots:
    void portListAndSelection_data()
    {
        QTest::addColumn<QStringList>("discovered");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("selected");
        const QString builtIn = QStringLiteral("COM1 - ttyS0 (/dev/ttyS0)");
        const QString adapter = QStringLiteral("COM3 - FT232R USB UART (/dev/ttyUSB0)");
        const QString logger = QStringLiteral("COM9 - Virtual logger logger (/dev/pts/4)");
        QTest::newRow("stored port wins") << QStringList{builtIn, logger} << "COM2" << "COM2";
        QTest::newRow("case-sensitive: Com1 matches nothing, a found logger is offered")
            << QStringList{builtIn, logger} << "Com1" << logger;
        QTest::newRow("a found built-in port before a bare COM1") << QStringList{adapter} << "Com1" << adapter;
        QTest::newRow("nothing found: COM1") << QStringList{} << "Com1" << "COM1";
        QTest::newRow("a discovered item keeps its device name") << QStringList{logger} << "COM9" << logger;
    }
    void portListAndSelection()
    {
        QFETCH(QStringList, discovered);
        QFETCH(QString, stored);
        QFETCH(QString, selected);
        const QStringList items = BuildPortList(discovered);
        QCOMPARE(items.at(PortIndexFor(items, stored)), selected);
    }
};

BREVEL_TEST(ConnectChoicesTest)
#include "tst_connectchoices.moc"
