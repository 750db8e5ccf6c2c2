#pragma once

#include "platform/HelpViewer.h"

#include <QStringList>

// Stands in for QtHelpViewer (src/platform), tested in tests/platform.
// Records the manuals opened; opens fails when there is no browser.
class FakeHelpViewer : public HelpViewer {
public:
    bool Open(const QString& path) override
    {
        opened.append(path);
        return opens;
    }
    QStringList opened;
    bool opens = true;
};
