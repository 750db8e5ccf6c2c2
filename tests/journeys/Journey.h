#pragma once

#include "LoggerMemory.h"
#include "SimProcess.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "config/Rating.h"
#include "config/SettingsImage.h"

#include <QTest>
#include <QtWidgets>
#include <functional>

// One run of the whole program, built as main() builds it, against a virtual
// logger program, driven the way a user drives it: clicks, keys and closing
// windows. The journey is a list of steps; each waits for its condition and
// then acts from the event loop, so an act that opens a modal window blocks
// only itself while the next steps answer that window.
class Journey : public QObject {
public:
    // prepare may write the file the virtual logger keeps its memory in before the logger starts.
    explicit Journey(const QStringList& simArguments,
                     const std::function<void(const QString& memoryFile)>& prepare = {});
    ~Journey() override;

    void when(const QString& what, std::function<bool()> ready, std::function<void()> act = {}, int seconds = 10);
    // When the program waits for the user in its main window or the modal window opened, with no hourglass.
    void then(const QString& what, std::function<void()> act, int seconds = 10);
    // Presses a button of the message box with this title and text once it shows.
    void answer(const QString& title, QMessageBox::StandardButton button, const QString& textPart = QString());
    // The user does what fill does in the connection window, chooses the
    // virtual logger's port (the modem's when the modem option is on) and
    // presses Connect.
    void connectWindow(const std::function<void(QWidget* window)>& fill = {});
    void connected(int seconds = 10);
    // Types the path into the file dialog with this title and presses Enter.
    void fileDialog(const QString& title, const QString& path);
    // The event loop must end by itself once the main window is closed.
    void closeMainWindow(const QString& what = QStringLiteral("close the main window"));

    // Runs the program; false when a step failed or did not come in time, or the program did not end.
    bool run(int seconds = 30);

    MainWindow& window() { return program_->Window(); }
    // The program's per-user settings file in the test program's own home.
    static QString settingsFile();
    QString label(const QString& name);
    LoggerMemory memory() const;
    QByteArray settingsImage() const;

    QString portItem; // the port list item the user chose in the connection window
    QTemporaryDir files; // the logger's memory, exports
    const QString memoryFile;
    SimProcess sim;

private:
    struct Step {
        QString what;
        std::function<bool()> ready;
        std::function<void()> act;
        int seconds;
    };
    void poll();
    void fail(const QString& message);
    void rescue();
    bool idle() const;

    std::unique_ptr<Program> program_;
    QList<Step> steps_;
    QString done_ = QStringLiteral("start-up"); // the last step taken
    QTimer poller_;
    QElapsedTimer stepClock_;
    QElapsedTimer runClock_;
    QElapsedTimer closedClock_;
    QElapsedTimer rescueClock_;
    int runSeconds_ = 30;
    int posted_ = 0;  // acts posted that have not started
    int running_ = 0; // acts started that have not returned
};

// What a user does; every helper fails the test when the control is not
// there, hidden, disabled or behind another modal window.
namespace user {

template <typename T = QWidget>
T* find(QWidget* window, const QString& name)
{
    T* widget = window ? window->findChild<T*>(name) : nullptr;
    if (widget == nullptr) {
        qFatal("no control %s in %s", qPrintable(name), window ? qPrintable(window->objectName()) : "no window");
    }
    return widget;
}

// The active modal window when its object name or title is this.
QWidget* modal(const QString& nameOrTitle);
QMessageBox* box(const QString& title);
void click(QWidget* control);
// Clicks the control of the active modal window with this name.
void press(const QString& window, const QString& control);
// Clicks into the field, selects what it holds and types the text.
void type(QWidget* field, const QString& text);
// Opens a drop-down list with the mouse, finds the item by typing its text and takes it with Enter.
void pick(QComboBox* list, const QString& item);
void page(QWidget* window, const QString& tabCaption);
void menu(QWidget* window, const QString& menuText, const QString& itemText);
// What the labels and fields show, joined by " | ".
QString texts(QWidget* window, const QStringList& names);

} // namespace user

// The file's lines without their carriage return and line feed.
QStringList FileLines(const QString& path);
