// Takes the pictures of the user manual: the program as main() builds it,
// with the real platform classes, against running virtual loggers, through
// every window a user meets. Each window is grabbed with its frame as the
// screen shows it. Run by scripts/screenshots.sh under Xvfb and a window
// manager:
//   manual_pictures OUTPUT_FOLDER SETTINGS_FILE DIRECT_LOGGER MODEM_LOGGER
// where the two loggers are the names of running brevel-logger-sim links.

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "core/AppFolder.h"
#include "link/PortDirectory.h"
#include "link/QtSerialPort.h"
#include "platform/QtBusyCursor.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtHelpViewer.h"
#include "platform/QtPrompter.h"
#include "platform/QtSettingsStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <functional>
#include <vector>

namespace {

// How long a window is left to settle before it is grabbed (painted, and
// framed by the window manager, which may not come), and how long any step
// may wait.
constexpr qint64 kSettleMs = 700;
constexpr qint64 kFrameLimitMs = 3000;
constexpr qint64 kStepLimitMs = 60000;

QWidget* ModalNamed(const char* name)
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && modal->objectName() == QLatin1String(name) && modal->isVisible() ? modal : nullptr;
}

template <typename T>
T* Child(QWidget* parent, const QString& name)
{
    T* child = parent != nullptr ? parent->findChild<T*>(name) : nullptr;
    if (child == nullptr) {
        std::fprintf(stderr, "manual_pictures: no %s in %s\n", qPrintable(name),
                     parent != nullptr ? qPrintable(parent->objectName()) : "nothing");
        std::exit(1);
    }
    return child;
}

void SelectItemContaining(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchContains);
    if (index < 0) {
        std::fprintf(stderr, "manual_pictures: %s offers nothing with \"%s\"\n", qPrintable(box->objectName()),
                     qPrintable(text));
        std::exit(1);
    }
    box->setCurrentIndex(index);
}

// The steps of the tour, each run once its condition holds. A step's action
// runs from the event queue, so one that opens a modal window does not hold
// up the next step's watch, which runs inside that window's event loop.
class Tour : public QObject {
public:
    explicit Tour(QString folder) : folder_(std::move(folder))
    {
        connect(&timer_, &QTimer::timeout, this, &Tour::Tick);
        timer_.start(50);
        clock_.start();
    }

    void Then(QString what, std::function<bool()> ready, std::function<void()> act)
    {
        steps_.push_back({std::move(what), std::move(ready), std::move(act)});
    }
    // The window that ready() found, once it has settled, grabbed to name.png.
    void Grab(QString what, std::function<QWidget*()> window, const QString& name,
              std::function<void(QWidget*)> after = {})
    {
        struct Watch {
            QElapsedTimer steady; // since the window last moved or changed size
            QRect frame;
        };
        auto watch = std::make_shared<Watch>();
        Then(
            std::move(what),
            [window, watch] {
                QWidget* shown = window();
                if (shown == nullptr) {
                    watch->steady.invalidate();
                    return false;
                }
                const QRect frame = shown->frameGeometry();
                if (!watch->steady.isValid() || frame != watch->frame) {
                    watch->frame = frame;
                    watch->steady.start();
                }
                // The window manager's frame comes a moment after the window.
                const bool framed = frame != shown->geometry() && frame.contains(shown->geometry());
                return watch->steady.elapsed() >= (framed ? kSettleMs : kFrameLimitMs);
            },
            [this, window, name, after] {
                QWidget* shown = window();
                Save(shown, name);
                if (after) {
                    after(shown);
                }
            });
    }

private:
    struct Step {
        QString what;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    void Tick()
    {
        if (next_ >= steps_.size()) {
            timer_.stop();
            QCoreApplication::exit(0);
            return;
        }
        const Step& step = steps_[next_];
        if (!step.ready()) {
            if (clock_.elapsed() > kStepLimitMs) {
                QWidget* modal = QApplication::activeModalWidget();
                auto* box = qobject_cast<QMessageBox*>(modal);
                std::fprintf(stderr, "manual_pictures: gave up waiting for %s; on the screen: %s %s\n",
                             qPrintable(step.what), modal != nullptr ? qPrintable(modal->windowTitle()) : "",
                             box != nullptr ? qPrintable(box->text()) : "");
                std::exit(1);
            }
            return;
        }
        std::fprintf(stderr, "manual_pictures: %s\n", qPrintable(step.what));
        const std::function<void()> act = step.act;
        ++next_;
        clock_.restart();
        QMetaObject::invokeMethod(this, act, Qt::QueuedConnection);
    }

    void Save(QWidget* window, const QString& name) const
    {
        // The whole screen, cut to the window and its frame.
        QScreen* screen = window->screen();
        const QRect frame = window->frameGeometry().translated(-screen->geometry().topLeft());
        const QPixmap whole = screen->grabWindow(0);
        const QPixmap picture = whole.copy(frame);
        const QString path = folder_ + u'/' + name + QStringLiteral(".png");
        if (!picture.save(path)) {
            std::fprintf(stderr, "manual_pictures: could not write %s\n", qPrintable(path));
            std::exit(1);
        }
    }

    QString folder_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    QTimer timer_;
    QElapsedTimer clock_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevel Flow Monitor"));
    if (argc != 5) {
        std::fprintf(stderr, "usage: manual_pictures OUTPUT_FOLDER SETTINGS_FILE DIRECT_LOGGER MODEM_LOGGER\n");
        return 2;
    }
    const QString directLogger = QString::fromLocal8Bit(argv[3]);
    const QString modemLogger = QString::fromLocal8Bit(argv[4]);

    PortDirectory portDirectory;
    QtSerialPort port(portDirectory);
    QtPrompter prompter;
    QtFileDialogs fileDialogs;
    QtSettingsStore settingsStore(QString::fromLocal8Bit(argv[2]));
    QtHelpViewer helpViewer;
    QtBusyCursor busyCursor;
    Platform platform{port, prompter, fileDialogs, settingsStore, helpViewer, busyCursor};
    Session session(platform, portDirectory);
    MainWindow window;
    MainController controller(session, window);
    controller.StartUp(QString(), AppFolder());
    window.move(40, 40);
    const MainWidgets& ui = window.ui();

    Tour tour(QString::fromLocal8Bit(argv[1]));
    auto modal = [](const char* name) { return [name] { return ModalNamed(name); }; };
    auto mainWindowWhen = [&window](std::function<bool()> condition) {
        return [&window, condition]() -> QWidget* {
            return QApplication::activeModalWidget() == nullptr && condition() ? &window : nullptr;
        };
    };
    // The main window takes a command once no window is over it and no
    // exchange with the logger runs.
    auto idle = [&session] { return QApplication::activeModalWidget() == nullptr && !session.State.Busy; };
    auto click = [](QWidget* parent, const char* button) { Child<QAbstractButton>(parent, QLatin1String(button))->click(); };

    // Start-up opens the connection window: the direct virtual logger.
    tour.Then(QStringLiteral("the connection window"), modal("frmConnect"), [&] {
        QWidget* connectWindow = ModalNamed("frmConnect");
        Child<QRadioButton>(connectWindow, QStringLiteral("optDirect"))->setChecked(true);
        SelectItemContaining(Child<QComboBox>(connectWindow, QStringLiteral("cmbPort1")), directLogger);
    });
    tour.Grab(QStringLiteral("the connection window, direct"), modal("frmConnect"), QStringLiteral("connect"),
              [&](QWidget* connectWindow) { click(connectWindow, "cmdConnect"); });

    // Five live samples in the meter columns, then sampling stops.
    tour.Then(QStringLiteral("Sample Continuously"), [&] { return idle() && ui.chkSampleContinuously->isEnabled(); },
              [&] { ui.chkSampleContinuously->click(); });
    tour.Grab(QStringLiteral("the main window, sampling"),
              mainWindowWhen([&] { return session.State.SampleCount >= 5; }), QStringLiteral("main-window"),
              [&](QWidget*) { ui.chkSampleContinuously->click(); });

    // The setup window, each page, and the calibration wizard from the first.
    tour.Then(QStringLiteral("Setup"), [&] { return idle() && ui.cmdSetup->isEnabled(); }, [&] { ui.cmdSetup->click(); });
    const char* pages[] = {"setup-analog", "setup-digital", "setup-general", "setup-flow"};
    for (int page = 0; page < 4; ++page) {
        tour.Then(QStringLiteral("setup page %1").arg(page + 1), [modal] { return modal("frmSetup")() != nullptr; },
                  [page] { Child<QTabWidget>(ModalNamed("frmSetup"), QStringLiteral("TabStrip"))->setCurrentIndex(page); });
        tour.Grab(QStringLiteral("setup page %1 shown").arg(page + 1), modal("frmSetup"), QLatin1String(pages[page]));
    }
    tour.Then(QStringLiteral("Calibrate"), [modal] { return modal("frmSetup")() != nullptr; }, [&] {
        QWidget* setup = ModalNamed("frmSetup");
        Child<QTabWidget>(setup, QStringLiteral("TabStrip"))->setCurrentIndex(0);
        click(setup, "cmdCalibrate_0");
    });
    tour.Grab(QStringLiteral("the calibration wizard"), modal("frmCalibrate"), QStringLiteral("calibrate"),
              [&](QWidget* wizard) { click(wizard, "cmdCancel"); });
    tour.Then(QStringLiteral("back to the main window"), [modal] { return modal("frmSetup")() != nullptr; },
              [&] { click(ModalNamed("frmSetup"), "cmdCancel"); });

    // The history download, part way, then the table.
    tour.Then(QStringLiteral("Get History"), [&] { return idle() && ui.cmdGetHistoryData->isEnabled(); },
              [&] { ui.cmdGetHistoryData->click(); });
    tour.Grab(
        QStringLiteral("the download part way"),
        [] {
            QWidget* download = ModalNamed("frmGetHistoryData");
            auto* bar = download != nullptr ? download->findChild<QProgressBar*>(QStringLiteral("ProgressBar1")) : nullptr;
            return bar != nullptr && bar->value() >= bar->maximum() * 2 / 5 ? download : nullptr;
        },
        QStringLiteral("get-history"));
    tour.Then(
        QStringLiteral("the download complete"),
        [] {
            QWidget* download = ModalNamed("frmGetHistoryData");
            auto* okay = download != nullptr ? download->findChild<QPushButton*>(QStringLiteral("cmdOkay")) : nullptr;
            return okay != nullptr && okay->isVisible() && okay->isEnabled();
        },
        [&] { click(ModalNamed("frmGetHistoryData"), "cmdOkay"); });
    tour.Grab(QStringLiteral("the history table"), modal("frmHistory"), QStringLiteral("history"),
              [&](QWidget* history) { click(history, "cmdOK"); });

    // About.
    tour.Then(QStringLiteral("About"), idle,
              [&] { ui.mnuAbout->trigger(); });
    tour.Grab(QStringLiteral("the About box"), modal("frmAbout"), QStringLiteral("about"),
              [&](QWidget* about) { click(about, "cmdOK"); });

    // Disconnect, then connect through the modem.
    tour.Then(QStringLiteral("Disconnect"), [&] { return idle() && ui.cmdConnect->isEnabled(); },
              [&] { ui.cmdConnect->click(); });
    tour.Then(QStringLiteral("Connect"), [&] { return idle() && !session.State.Connected && ui.cmdConnect->isEnabled(); },
              [&] { ui.cmdConnect->click(); });
    tour.Then(QStringLiteral("choose the modem"), [modal] { return modal("frmConnect")() != nullptr; }, [&] {
        QWidget* connectWindow = ModalNamed("frmConnect");
        Child<QRadioButton>(connectWindow, QStringLiteral("optModem"))->setChecked(true);
        SelectItemContaining(Child<QComboBox>(connectWindow, QStringLiteral("cmbPort2")), modemLogger);
        Child<QComboBox>(connectWindow, QStringLiteral("cmbNumber"))->setEditText(QStringLiteral("555 0142"));
    });
    tour.Grab(QStringLiteral("the connection window, modem"), modal("frmConnect"), QStringLiteral("connect-modem"),
              [&](QWidget* connectWindow) { click(connectWindow, "cmdConnect"); });
    tour.Grab(
        QStringLiteral("the modem window dialling"),
        [] {
            QWidget* modem = ModalNamed("frmModem");
            auto* text = modem != nullptr ? modem->findChild<QPlainTextEdit*>(QStringLiteral("txtModem")) : nullptr;
            return text != nullptr && text->toPlainText().contains(QStringLiteral("ATDT")) ? modem : nullptr;
        },
        QStringLiteral("modem"));
    tour.Then(QStringLiteral("connected through the modem"),
              [&] { return session.State.Connected && QApplication::activeModalWidget() == nullptr; },
              [&] { window.close(); });

    QTimer::singleShot(0, &controller, &MainController::ConnectAction);
    return QApplication::exec();
}
