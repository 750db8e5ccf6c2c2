#pragma once

#include "platform/HelpViewer.h"

#include <QStringList>

class FakeHelpViewer : public HelpViewer {
public:
    bool open(const QString& path) override
    {
        opened.append(path);
        return true;
    }
    QStringList opened;
};
