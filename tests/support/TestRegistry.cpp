#include "TestRegistry.h"

#include <QCoreApplication>
#include <QTest>
#include <utility>
#include <vector>

namespace brevel::test {
namespace {

struct Entry {
    const char* name;
    TestFactory factory;
};

std::vector<Entry>& registry()
{
    static std::vector<Entry> entries;
    return entries;
}

} // namespace

bool registerTest(const char* name, TestFactory factory)
{
    registry().push_back({name, std::move(factory)});
    return true;
}

} // namespace brevel::test

// Runs every registered class; a class name given as the first argument runs
// that class alone (the remaining arguments go to Qt Test).
int brevel::test::runRegisteredTests(QCoreApplication& app)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Brevel Logger Tests"));
    QStringList args = app.arguments();
    QString only;
    if (args.size() > 1 && !args.at(1).startsWith(QLatin1Char('-'))) {
        only = args.takeAt(1);
    }
    int failures = 0;
    for (const auto& entry : brevel::test::registry()) {
        if (!only.isEmpty() && only != QLatin1String(entry.name)) {
            continue;
        }
        auto object = entry.factory();
        failures += QTest::qExec(object.get(), args);
    }
    return failures == 0 ? 0 : 1;
}
