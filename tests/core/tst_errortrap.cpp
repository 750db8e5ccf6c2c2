#include "TestRegistry.h"
#include "core/ErrorTrap.h"

#include <QTest>
#include <stdexcept>

class ErrorTrapTest : public QObject {
    Q_OBJECT
private slots:
    void trappedFailureTakesTheFailurePath()
    {
        const int result = RunTrapped(true, []() -> int { throw std::runtime_error("x"); }, [] { return -1; });
        QCOMPARE(result, -1);
    }
    void untrappedFailurePropagates()
    {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 RunTrapped(false, []() -> int { throw std::runtime_error("x"); }, [] { return -1; }));
    }
};

BREVEL_TEST(ErrorTrapTest)
#include "tst_errortrap.moc"
