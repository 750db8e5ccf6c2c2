#include "TestRegistry.h"

#include <QApplication>

// The main of every test program. A logic module's tests (BREVEL_TEST_NO_WINDOWS) run with no window system: a
// widget made by the code under test fails the run.
int main(int argc, char** argv)
{
#ifdef BREVEL_TEST_NO_WINDOWS
    QCoreApplication app(argc, argv);
#else
    QApplication app(argc, argv);
#endif
    return brevel::test::runRegisteredTests(app);
}
