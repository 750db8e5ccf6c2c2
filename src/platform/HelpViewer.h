#pragma once

#include <QString>

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Opens the manual at its table of contents; false when it could not.
    virtual bool Open(const QString& path) = 0;
};
