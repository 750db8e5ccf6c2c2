#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QCoreApplication;

// Each module's test program runs every class its files register with BREVEL_TEST(ClassName).
namespace brevel::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

bool registerTest(const char* name, TestFactory factory);

// A class name as the first argument runs that class alone; the other arguments go to Qt Test.
int runRegisteredTests(QCoreApplication& app);

} // namespace brevel::test

#define BREVEL_TEST(Class)                                                            \
    namespace {                                                                       \
    [[maybe_unused]] const bool registered_##Class =                                  \
        brevel::test::registerTest(#Class, [] { return std::make_unique<Class>(); }); \
    }
