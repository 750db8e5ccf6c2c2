#pragma once

#include <QString>

// "Brevel Flow Monitor v2.3.2" for version 2.3.0.2: major, minor and the
// build number that CMake passes in.
inline QString ProgramCaption()
{
    return QStringLiteral("Brevel Flow Monitor v%1.%2.%3")
        .arg(BREVEL_VERSION_MAJOR)
        .arg(BREVEL_VERSION_MINOR)
        .arg(BREVEL_VERSION_REVISION);
}
