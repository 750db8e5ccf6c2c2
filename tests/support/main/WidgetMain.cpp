#include "TestRegistry.h"

#include <QApplication>

// The main of the tests that open windows.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return brevel::test::runRegisteredTests(app);
}
