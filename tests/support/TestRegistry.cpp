#include "TestRegistry.h"

#include <QCoreApplication>
#include <QTest>
#include <vector>

namespace brevel::test {
namespace {

std::vector<std::pair<QString, TestFactory>>& registry()
{
    static std::vector<std::pair<QString, TestFactory>> classes;
    return classes;
}

} // namespace

bool registerTest(const char* name, TestFactory factory)
{
    registry().emplace_back(QString::fromLatin1(name), std::move(factory));
    return true;
}

int runRegisteredTests(QCoreApplication& app)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Brevel Logger Tests"));
    QStringList arguments = app.arguments();
    const QString only = arguments.size() > 1 && !arguments[1].startsWith('-') ? arguments.takeAt(1) : QString();
    int failures = 0;
    for (const auto& [name, factory] : registry()) {
        failures += only.isEmpty() || only == name ? QTest::qExec(factory().get(), arguments) : 0;
    }
    return failures == 0 ? 0 : 1;
}

} // namespace brevel::test
