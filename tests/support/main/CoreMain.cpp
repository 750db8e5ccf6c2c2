#include "TestRegistry.h"

#include <QCoreApplication>

// The main of a logic module's tests: with no window system, a widget made by the code under test fails the run.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return brevel::test::runRegisteredTests(app);
}
