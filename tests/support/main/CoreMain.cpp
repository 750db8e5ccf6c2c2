#include "TestRegistry.h"

#include <QCoreApplication>

// The main of a logic module's tests: no window system, so any widget the
// code under test makes fails the run.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return brevel::test::runRegisteredTests(app);
}
