#pragma once

#include "platform/HelpViewer.h"

// Opens the HTML manual in the system's browser.
class QtHelpViewer : public HelpViewer {
public:
    bool Open(const QString& path) override;
};
