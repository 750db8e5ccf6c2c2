#pragma once

class QWidget;

// The window a message box or file dialog belongs to, so that it opens over
// it: the modal window on top, else the active window, else (the program is
// in the background) its main window. Null only while no window is shown.
QWidget* DialogParent();
