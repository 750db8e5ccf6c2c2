#include "TestRegistry.h"
#include "link/ExchangeGuard.h"
#include "link/LinkState.h"

#include <QTest>
#include <stdexcept>

Q_DECLARE_METATYPE(ExchangeNeeds)

// Who may talk to the logger: the guard is taken only on a free line, holds
// Busy while it lives and gives it back on every way out.
class ExchangeGuardTest : public QObject {
    Q_OBJECT
private slots:
    void takesOnlyAFreeLine_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("claimed");
        QTest::addColumn<ExchangeNeeds>("needs");
        QTest::addColumn<bool>("taken");
        const auto logger = ExchangeNeeds::ConnectedLogger;
        const auto line = ExchangeNeeds::FreeLine;
        QTest::newRow("connected, idle") << true << false << false << logger << true;
        QTest::newRow("not connected") << false << false << false << logger << false;
        QTest::newRow("busy") << true << true << false << logger << false;
        QTest::newRow("sampling claims the line") << true << false << true << logger << false;
        QTest::newRow("connecting needs no logger") << false << false << false << line << true;
        QTest::newRow("connecting while busy") << false << true << false << line << false;
        QTest::newRow("connecting while sampling") << true << false << true << line << false;
    }
    void takesOnlyAFreeLine()
    {
        QFETCH(bool, connected);
        QFETCH(bool, busy);
        QFETCH(bool, claimed);
        QFETCH(ExchangeNeeds, needs);
        QFETCH(bool, taken);
        LinkState link;
        link.Connected = connected;
        link.Busy = busy;
        {
            const ExchangeGuard guard(link, claimed, needs);
            QCOMPARE(guard.Held(), taken);
            QCOMPARE(link.Busy, taken || busy);
            if (taken) { // a click served inside the exchange's wait is refused
                QVERIFY(!ExchangeGuard(link, false, needs));
            }
        }
        QCOMPARE(link.Busy, busy); // a refused guard leaves another's Busy alone
    }

    void givesTheLineBackOnEveryWayOut_data()
    {
        QTest::addColumn<int>("exit");
        QTest::newRow("end of scope") << 0;
        QTest::newRow("exception") << 1;
        QTest::newRow("released early") << 2;
    }
    void givesTheLineBackOnEveryWayOut()
    {
        QFETCH(int, exit);
        LinkState link;
        link.Connected = true;
        try {
            ExchangeGuard guard(link);
            QVERIFY(guard);
            if (exit == 1) {
                throw std::runtime_error("port gone");
            }
            if (exit == 2) {
                guard.Release();
                QVERIFY(!link.Busy);
                ExchangeGuard next(link); // the line is free for the next one
                QVERIFY(next);
                guard.Release(); // released twice: the next one keeps it
                QVERIFY(link.Busy);
            }
        } catch (const std::runtime_error&) {
        }
        QVERIFY(!link.Busy);
    }
};

BREVEL_TEST(ExchangeGuardTest)
#include "tst_exchangeguard.moc"
