#pragma once

#include "LoggerMemory.h"
#include "ScratchFolder.h"
#include "SimProcess.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"
#include "app/Program.h"

#include <QTest>
#include <QtWidgets>
#include <cstdio>
#include <cstdlib>
#include <functional>

// What a user does; a control that is not there, hidden, disabled or behind another modal window fails the test.
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

inline QWidget* modal(const QString& nameOrTitle)
{
    QWidget* window = QApplication::activeModalWidget();
    const bool named = window != nullptr && (window->objectName() == nameOrTitle || window->windowTitle() == nameOrTitle);
    return named && window->isVisible() ? window : nullptr;
}

inline QString describe(QWidget* window)
{
    auto* box = qobject_cast<QMessageBox*>(window);
    return window == nullptr ? QStringLiteral("no modal window")
                             : QStringLiteral("\"%1\" (%2)%3").arg(window->windowTitle(), window->objectName(),
                                                                   box ? " saying \"" + box->text() + '"' : QString());
}

inline void click(QWidget* control)
{
    QWidget* modal = QApplication::activeModalWidget();
    QVERIFY2(control != nullptr, "no such control");
    QVERIFY2(control->isVisible() && control->isEnabled(),
             qPrintable(QStringLiteral("%1 cannot be clicked").arg(control->objectName())));
    QVERIFY2(modal == nullptr || control->window() == modal || QApplication::activePopupWidget(),
             qPrintable(QStringLiteral("%1 is behind %2").arg(control->objectName(), describe(modal))));
    // A check box or option button takes a click on its box and text only, not the rest of its width.
    const bool box = qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control);
    QTest::mouseClick(control, Qt::LeftButton, {}, box ? QPoint(6, control->height() / 2) : control->rect().center());
}

inline void press(const QString& window, const QString& control)
{
    click(find(modal(window), control));
}

inline void type(QWidget* field, const QString& text)
{
    auto* list = qobject_cast<QComboBox*>(field);
    click(list ? list->lineEdit() : field);
    QWidget* focus = QApplication::focusWidget();
    QVERIFY2(focus != nullptr, "no field has the focus");
    QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(focus, text);
}

inline void pick(QComboBox* list, const QString& item)
{
    click(list);
    QAbstractItemView* view = list->view();
    QVERIFY2(view->isVisible(), qPrintable(QStringLiteral("the list %1 did not open").arg(list->objectName())));
    QTest::keyClicks(view, item + '\r');
    QCOMPARE(list->currentText(), item);
}

inline void page(QWidget* window, const QString& caption)
{
    QTabBar* bar = find<QTabWidget>(window, {})->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == caption) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no page %1").arg(caption)));
}

template <typename Menu>
QAction* clickItem(Menu* menu, const QString& text)
{
    const QList<QAction*> items = menu->actions();
    const auto item = std::find_if(items.begin(), items.end(), [&](QAction* a) { return a->text() == text; });
    if (item == items.end() || !(*item)->isEnabled()) {
        return nullptr;
    }
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*item).center());
    return *item;
}

inline void menu(QWidget* window, const QString& menuText, const QString& itemText)
{
    QAction* opened = clickItem(find<QMenuBar>(window, {}), menuText);
    QVERIFY2(opened && opened->menu()->isVisible(), qPrintable(QStringLiteral("no menu %1").arg(menuText)));
    QVERIFY2(clickItem(opened->menu(), itemText),
             qPrintable(QStringLiteral("no enabled item %1 in the menu %2").arg(itemText, menuText)));
}

inline QString texts(QWidget* window, const QStringList& names)
{
    QStringList shown;
    for (const QString& name : names) {
        auto* label = qobject_cast<QLabel*>(find(window, name));
        shown << (label ? label->text() : find<QLineEdit>(window, name)->text());
    }
    return shown.join(QStringLiteral(" | "));
}

} // namespace user

// One run of the whole program, as main() builds it, against the virtual logger. Each step waits for its condition,
// then acts from the event loop, so an act that opens a modal window blocks only itself while later steps answer it.
class Journey : public QObject {
public:
    explicit Journey(const QStringList& simArguments, const std::function<void(const QString&)>& prepare = {})
        : memoryFile((settingsFile(), files.path(QStringLiteral("memory")))),
          sim((prepare ? prepare(memoryFile) : void(), simArguments + QStringList{"--memory-file", memoryFile}))
    {
        // The program finds the virtual logger where the logger put its link.
        qputenv("XDG_RUNTIME_DIR", sim.folder.path().toLocal8Bit());
        program_ = std::make_unique<Program>(QString(), QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
        connect(&poller_, &QTimer::timeout, this, &Journey::poll);
    }

    void when(const QString& what, std::function<bool()> ready, std::function<void()> act = [] {}, int seconds = 10)
    {
        steps_.append({what, std::move(ready), std::move(act), seconds});
    }

    // When the program waits for the user in its main window or the modal window opened, with no hourglass.
    void then(const QString& what, std::function<void()> act)
    {
        when(what, [this] { return idle(); }, std::move(act));
    }

    void answer(const QString& title, QMessageBox::StandardButton button, const QString& textPart = QString())
    {
        const auto box = [title] { return qobject_cast<QMessageBox*>(user::modal(title)); };
        when(QStringLiteral("the box \"%1\" saying \"%2\"").arg(title, textPart),
             [box, textPart] { return box() && box()->text().contains(textPart); },
             [box, button] { user::click(box()->button(button)); });
    }

    // fill does the user's part of the connection window, then the logger's port (the modem's if chosen) and Connect.
    void connectWindow(const std::function<void(QWidget* window)>& fill = [](QWidget*) {})
    {
        when("the connection window", [] { return user::modal("frmConnect"); }, [this, fill] {
            QWidget* window = user::modal("frmConnect");
            fill(window);
            const bool modem = user::find<QRadioButton>(window, "optModem")->isChecked();
            auto* ports = user::find<QComboBox>(window, modem ? "cmbPort2" : "cmbPort1");
            const int index = ports->findText(sim.devicePath, Qt::MatchContains);
            QVERIFY2(index >= 0, qPrintable(QStringLiteral("%1 is not in the port list").arg(sim.devicePath)));
            portItem = ports->itemText(index);
            user::pick(ports, portItem);
            user::click(user::find(window, "cmdConnect"));
        });
    }

    void connected(int seconds = 10)
    {
        when("the main window showing the logger connected",
             [this] { return idle() && label("lblCommStatus") == u"Connected"; }, [] {}, seconds);
    }

    void fileDialog(const QString& title, const QString& path)
    {
        when("the file dialog " + title, [title] { return user::modal(title); }, [title, path] {
            user::type(user::find(user::modal(title), "fileNameEdit"), path + '\r');
        });
    }

    void closeMainWindow(const QString& what = QStringLiteral("close the main window"))
    {
        when(what, [] { return true; }, [this] {
            closedClock_.start();
            window().close();
        });
    }

    // A failure, a timeout or an exit code but 0 (scripts read it) ends the test program: open windows cannot unwind.
    void run(int seconds = 30)
    {
        runSeconds_ = seconds;
        runClock_.start();
        stepClock_.start();
        poller_.start(10);
        const int exitCode = program_->Run();
        poller_.stop();
        if (exitCode != 0) {
            fail(QStringLiteral("the program ended with exit code %1").arg(exitCode));
        }
    }

    MainWindow& window() { return program_->Window(); }

    // The program's per-user settings file, in a home of the test program's own set before anything reads it.
    static QString settingsFile()
    {
        static QTemporaryDir home;
        [[maybe_unused]] static const bool set = qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        return home.path() + QStringLiteral("/Brevel Logger/Brevel Logger.conf");
    }

    QString label(const QString& name) { return user::texts(&window(), {name}); }

    LoggerMemory memory() const
    {
        LoggerMemory memory;
        QString error;
        if (!memory.Load(memoryFile, &error)) {
            qWarning("Cannot read the logger memory %s: %s", qPrintable(memoryFile), qPrintable(error));
        }
        return memory;
    }

    QString portItem; // the port list item the user chose in the connection window
    ScratchFolder files; // the logger's memory, exports
    const QString memoryFile;
    SimProcess sim;

private:
    struct Step {
        QString what;
        std::function<bool()> ready;
        std::function<void()> act;
        int seconds;
    };

    // Every window the user opened waits for the user, and no more.
    bool idle() const
    {
        QWidget* modal = QApplication::activeModalWidget();
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto modals = std::count_if(windows.begin(), windows.end(),
                                          [](QWidget* w) { return w->isVisible() && w->isModal(); });
        return QGuiApplication::overrideCursor() == nullptr && QApplication::activeWindow() != nullptr
            && QApplication::activePopupWidget() == nullptr && posted_ == 0 && running_ == modals
            && !qobject_cast<QMessageBox*>(modal) && !qobject_cast<QFileDialog*>(modal);
    }

    void poll()
    {
        // The window manager's job: when a window goes, the one below it becomes active again.
        if (QApplication::activeWindow() == nullptr && QApplication::activePopupWidget() == nullptr) {
            if (QWidget* top = QApplication::activeModalWidget()) {
                top->activateWindow();
            } else if (window().isVisible()) {
                window().activateWindow();
            }
        }
        if (closedClock_.isValid() && closedClock_.elapsed() > 5000) {
            fail(QStringLiteral("the program did not end within 5 s of closing its main window; %1")
                     .arg(user::describe(QApplication::activeModalWidget())));
        }
        if (runClock_.elapsed() > runSeconds_ * 1000) {
            fail(QStringLiteral("the journey took more than %1 s").arg(runSeconds_));
        }
        if (steps_.isEmpty() || posted_ > 0) {
            return;
        }
        const Step& step = steps_.first();
        if (!step.ready()) {
            if (stepClock_.elapsed() > step.seconds * 1000) {
                fail(QStringLiteral("waited %1 s for %2 after %3; the program shows %4%5")
                         .arg(step.seconds)
                         .arg(step.what, done_, user::describe(QApplication::activeModalWidget()),
                              QGuiApplication::overrideCursor() ? QStringLiteral(" and the hourglass") : QString()));
            }
            return;
        }
        done_ = step.what;
        std::function<void()> act = steps_.takeFirst().act;
        stepClock_.restart();
        ++posted_;
        QTimer::singleShot(0, this, [this, act] {
            --posted_;
            ++running_;
            act();
            --running_;
            if (QTest::currentTestFailed()) {
                fail(QString());
            }
        });
    }

    [[noreturn]] void fail(const QString& message)
    {
        if (!message.isEmpty()) {
            QTest::qFail(qPrintable(message), __FILE__, __LINE__);
        }
        sim.process.kill();
        sim.process.waitForFinished(2000);
        std::fflush(nullptr);
        std::_Exit(1);
    }

    std::unique_ptr<Program> program_;
    QList<Step> steps_;
    QString done_ = QStringLiteral("start-up"); // the last step taken
    QTimer poller_;
    QElapsedTimer stepClock_;
    QElapsedTimer runClock_;
    QElapsedTimer closedClock_;
    int runSeconds_ = 30;
    int posted_ = 0;  // acts posted that have not started
    int running_ = 0; // acts started that have not returned
};
