#include "Journey.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The per-user settings live in a home of the test program's own, set before anything reads them.
QString ConfigHome()
{
    static QTemporaryDir home;
    [[maybe_unused]] static const bool set = qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    return home.path();
}

QStringList WithMemoryFile(QStringList arguments, const QString& memoryFile,
                           const std::function<void(const QString&)>& prepare)
{
    if (prepare) {
        prepare(memoryFile);
    }
    return arguments << QStringLiteral("--memory-file") << memoryFile;
}

int VisibleModalWindows()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return int(std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible() && w->isModal(); }));
}

QString Describe(QWidget* window)
{
    auto* box = qobject_cast<QMessageBox*>(window);
    return window == nullptr ? QStringLiteral("no modal window")
                             : QStringLiteral("\"%1\" (%2)%3").arg(window->windowTitle(), window->objectName(),
                                                                   box ? " saying \"" + box->text() + '"' : QString());
}

// Clicks the enabled item with this text of a menu bar or menu; null when there is none.
template <typename Menu>
QAction* ClickItem(Menu* menu, const QString& text)
{
    const QList<QAction*> items = menu->actions();
    const auto item = std::find_if(items.begin(), items.end(), [&](QAction* a) { return a->text() == text; });
    if (item == items.end() || !(*item)->isEnabled()) {
        return nullptr;
    }
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*item).center());
    return *item;
}

} // namespace

Journey::Journey(const QStringList& simArguments, const std::function<void(const QString&)>& prepare)
    : memoryFile((ConfigHome(), files.filePath(QStringLiteral("memory")))),
      sim(WithMemoryFile(simArguments, memoryFile, prepare))
{
    // The program finds the virtual logger where the logger put its link.
    qputenv("XDG_RUNTIME_DIR", sim.folder.path().toLocal8Bit());
    program_ = std::make_unique<Program>(QString(), QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    connect(&poller_, &QTimer::timeout, this, &Journey::poll);
}

Journey::~Journey() = default;

QString Journey::settingsFile()
{
    return ConfigHome() + QStringLiteral("/Brevel Logger/Brevel Logger.conf");
}

void Journey::when(const QString& what, std::function<bool()> ready, std::function<void()> act, int seconds)
{
    steps_.append({what, std::move(ready), std::move(act), seconds});
}

void Journey::then(const QString& what, std::function<void()> act, int seconds)
{
    when(what, [this] { return idle(); }, std::move(act), seconds);
}

void Journey::answer(const QString& title, QMessageBox::StandardButton button, const QString& textPart)
{
    when(QStringLiteral("the box \"%1\" saying \"%2\"").arg(title, textPart),
         [title, textPart] { return user::box(title) && user::box(title)->text().contains(textPart); },
         [title, button] { user::click(user::box(title)->button(button)); });
}

void Journey::connectWindow(const std::function<void(QWidget*)>& fill)
{
    when(QStringLiteral("the connection window"), [] { return user::modal(QStringLiteral("frmConnect")); },
         [this, fill] {
             QWidget* window = user::modal(QStringLiteral("frmConnect"));
             if (fill) {
                 fill(window);
             }
             const bool modem = user::find<QRadioButton>(window, QStringLiteral("optModem"))->isChecked();
             // The user finds the logger by the device path it printed.
             auto* ports = user::find<QComboBox>(window, modem ? QStringLiteral("cmbPort2") : QStringLiteral("cmbPort1"));
             const int index = ports->findText(sim.devicePath, Qt::MatchContains);
             QVERIFY2(index >= 0, qPrintable(QStringLiteral("%1 is not in the port list").arg(sim.devicePath)));
             portItem = ports->itemText(index);
             user::pick(ports, portItem);
             user::click(user::find(window, QStringLiteral("cmdConnect")));
         });
}

void Journey::connected(int seconds)
{
    when(
        QStringLiteral("the main window showing the logger connected"),
        [this] { return idle() && label(QStringLiteral("lblCommStatus")) == u"Connected"; }, {}, seconds);
}

void Journey::fileDialog(const QString& title, const QString& path)
{
    when(QStringLiteral("the file dialog \"%1\"").arg(title), [title] { return user::modal(title); },
         [title, path] {
             auto* name = user::find<QLineEdit>(user::modal(title), QStringLiteral("fileNameEdit"));
             user::type(name, path);
             QTest::keyClick(name, Qt::Key_Return);
         });
}

void Journey::closeMainWindow(const QString& what)
{
    when(what, [] { return true; },
         [this] {
             closedClock_.start();
             window().close();
         });
}

bool Journey::idle() const
{
    // Every window the user opened waits for the user, and no more.
    QWidget* modal = QApplication::activeModalWidget();
    return QGuiApplication::overrideCursor() == nullptr && QApplication::activeWindow() != nullptr
        && QApplication::activePopupWidget() == nullptr && posted_ == 0 && running_ == VisibleModalWindows()
        && !qobject_cast<QMessageBox*>(modal) && !qobject_cast<QFileDialog*>(modal);
}

void Journey::poll()
{
    // The window manager's job: when a window goes, the one below it becomes active again.
    if (QApplication::activeWindow() == nullptr && QApplication::activePopupWidget() == nullptr) {
        if (QWidget* top = QApplication::activeModalWidget()) {
            top->activateWindow();
        } else if (window().isVisible()) {
            window().activateWindow();
        }
    }
    if (rescueClock_.isValid()) {
        rescue();
        return;
    }
    if (closedClock_.isValid() && closedClock_.elapsed() > 5000) {
        fail(QStringLiteral("the program did not end within 5 s of closing its main window; %1")
                 .arg(Describe(QApplication::activeModalWidget())));
        return;
    }
    if (runClock_.elapsed() > runSeconds_ * 1000) {
        fail(QStringLiteral("the journey took more than %1 s").arg(runSeconds_));
        return;
    }
    if (steps_.isEmpty() || posted_ > 0) {
        return;
    }
    const Step& step = steps_.first();
    if (!step.ready()) {
        if (stepClock_.elapsed() > step.seconds * 1000) {
            fail(QStringLiteral("waited %1 s for %2 after %3; the program shows %4, status \"%5\"%6")
                     .arg(step.seconds)
                     .arg(step.what, done_, Describe(QApplication::activeModalWidget()),
                          label(QStringLiteral("lblCommStatus")),
                          QGuiApplication::overrideCursor() ? QStringLiteral(" and the hourglass") : QString()));
        }
        return;
    }
    done_ = step.what;
    std::function<void()> act = steps_.takeFirst().act;
    stepClock_.restart();
    if (!act) {
        return;
    }
    ++posted_;
    QTimer::singleShot(0, this, [this, act] {
        --posted_;
        ++running_;
        act();
        --running_;
        if (QTest::currentTestFailed() && !rescueClock_.isValid()) {
            fail(QString());
        }
    });
}

void Journey::fail(const QString& message)
{
    if (!message.isEmpty()) {
        QTest::qFail(qPrintable(message), __FILE__, __LINE__);
    }
    steps_.clear();
    rescueClock_.start();
}

// After a failure the program is ended window by window, past their checks, so that the next journey can run.
void Journey::rescue()
{
    if (rescueClock_.elapsed() > 5000) {
        // Stuck in a wait that no event ends: nothing can unwind it.
        std::fprintf(stderr, "The program cannot be ended after the failed journey; it shows %s. Stopping here.\n",
                     qPrintable(Describe(QApplication::activeModalWidget())));
        sim.process.kill();
        sim.process.waitForFinished(2000);
        std::fflush(nullptr);
        std::_Exit(1);
    }
    if (posted_ > 0) {
        return;
    }
    ++posted_;
    QTimer::singleShot(100, this, [this, modal = QPointer<QWidget>(QApplication::activeModalWidget())] {
        --posted_;
        if (qobject_cast<QMessageBox*>(modal)) {
            QTest::keyClick(modal, Qt::Key_Escape);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else if (window().isVisible()) {
            window().close();
        }
    });
}

bool Journey::run(int seconds)
{
    runSeconds_ = seconds;
    runClock_.start();
    stepClock_.start();
    poller_.start(10);
    const int exitCode = program_->Run();
    poller_.stop();
    // Exit or closing the window, the program ends as a success: scripts and sessions read the code.
    if (!QTest::currentTestFailed() && exitCode != 0) {
        fail(QStringLiteral("the program ended with exit code %1").arg(exitCode));
    }
    return !QTest::currentTestFailed();
}

QString Journey::label(const QString& name)
{
    return user::texts(&window(), {name});
}

LoggerMemory Journey::memory() const
{
    LoggerMemory memory;
    QString error;
    if (!memory.Load(memoryFile, &error)) {
        qWarning("Cannot read the logger memory %s: %s", qPrintable(memoryFile), qPrintable(error));
    }
    return memory;
}

QByteArray Journey::settingsImage() const
{
    const LoggerMemory now = memory();
    QByteArray image;
    for (const SettingsRegion& region : SettingsReadRegions) {
        image += now.Read(region.Address, region.Length);
    }
    return image;
}

namespace user {

QWidget* modal(const QString& nameOrTitle)
{
    QWidget* window = QApplication::activeModalWidget();
    const bool named = window != nullptr && (window->objectName() == nameOrTitle || window->windowTitle() == nameOrTitle);
    return named && window->isVisible() ? window : nullptr;
}

QMessageBox* box(const QString& title)
{
    return qobject_cast<QMessageBox*>(modal(title));
}

void click(QWidget* control)
{
    QWidget* modal = QApplication::activeModalWidget();
    QVERIFY2(control != nullptr, "no such control");
    QVERIFY2(control->isVisible() && control->isEnabled(),
             qPrintable(QStringLiteral("%1 cannot be clicked").arg(control->objectName())));
    QVERIFY2(modal == nullptr || control->window() == modal || QApplication::activePopupWidget(),
             qPrintable(QStringLiteral("%1 is behind %2").arg(control->objectName(), Describe(modal))));
    // A check box or option button is clicked on its box, at its left.
    const bool box = qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control);
    QTest::mouseClick(control, Qt::LeftButton, {}, box ? QPoint(6, control->height() / 2) : control->rect().center());
}

void press(const QString& window, const QString& control)
{
    click(find(modal(window), control));
}

void type(QWidget* field, const QString& text)
{
    auto* list = qobject_cast<QComboBox*>(field);
    click(list ? list->lineEdit() : field);
    QWidget* focus = QApplication::focusWidget();
    QVERIFY2(focus != nullptr, "no field has the focus");
    QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(focus, text);
}

void pick(QComboBox* list, const QString& item)
{
    click(list);
    QAbstractItemView* view = list->view();
    QVERIFY2(view->isVisible(), qPrintable(QStringLiteral("the list %1 did not open").arg(list->objectName())));
    QTest::keyClicks(view, item);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(list->currentText(), item);
}

void page(QWidget* window, const QString& caption)
{
    for (QTabBar* bar : window->findChildren<QTabBar*>()) {
        for (int i = 0; i < bar->count(); ++i) {
            if (bar->tabText(i) == caption) {
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
                return;
            }
        }
    }
    QFAIL(qPrintable(QStringLiteral("no page %1").arg(caption)));
}

void menu(QWidget* window, const QString& menuText, const QString& itemText)
{
    QAction* opened = ClickItem(find<QMenuBar>(window, {}), menuText);
    QVERIFY2(opened && opened->menu()->isVisible(), qPrintable(QStringLiteral("no menu %1").arg(menuText)));
    QVERIFY2(ClickItem(opened->menu(), itemText),
             qPrintable(QStringLiteral("no enabled item %1 in the menu %2").arg(itemText, menuText)));
}

QString texts(QWidget* window, const QStringList& names)
{
    QStringList shown;
    for (const QString& name : names) {
        auto* label = qobject_cast<QLabel*>(find(window, name));
        shown << (label ? label->text() : find<QLineEdit>(window, name)->text());
    }
    return shown.join(QStringLiteral(" | "));
}

} // namespace user

QStringList FileLines(const QString& path)
{
    QFile file(path);
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    return text.isEmpty() ? QStringList() : text.chopped(text.endsWith(QStringLiteral("\r\n")) ? 2 : 0).split("\r\n");
}
