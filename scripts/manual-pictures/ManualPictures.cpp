// The pictures of the user manual: two journeys of the whole program, as
// main() builds it, against the virtual logger program (one on a direct
// line, one behind a modem), through every window a user meets. Each window
// is grabbed from the screen with its frame. Run by scripts/screenshots.sh
// under Xvfb and a window manager, with BREVEL_PICTURES_DIR naming the
// folder the pictures go to.

#include "Journey.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <memory>

namespace {

// A window is grabbed once it has kept its place and size this long, framed
// by the window manager; a window the manager does not frame, after the
// longer wait.
constexpr qint64 kSettleMs = 700;
constexpr qint64 kUnframedMs = 3000;

// The window the finder shows, once settled, saved as name.png.
void Picture(Journey& journey, const QString& name, const std::function<QWidget*()>& window)
{
    struct Watch {
        QElapsedTimer steady;
        QRect frame;
    };
    auto watch = std::make_shared<Watch>();
    journey.when(
        QStringLiteral("the picture %1").arg(name),
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
            const bool framed = frame != shown->geometry() && frame.contains(shown->geometry());
            return watch->steady.elapsed() >= (framed ? kSettleMs : kUnframedMs);
        },
        [window, name] {
            QWidget* shown = window();
            QScreen* screen = shown->screen();
            const QRect frame = shown->frameGeometry().translated(-screen->geometry().topLeft());
            const QString path = qEnvironmentVariable("BREVEL_PICTURES_DIR") + u'/' + name + QStringLiteral(".png");
            QVERIFY2(screen->grabWindow(0).copy(frame).save(path), qPrintable(path));
        },
        30);
}

std::function<QWidget*()> Modal(const QString& name)
{
    return [name] { return user::modal(name); };
}

void Page(const QString& caption)
{
    user::page(user::modal(QStringLiteral("frmSetup")), caption);
}

} // namespace

class ManualPictures : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("BREVEL_PICTURES_DIR")) {
            QSKIP("set BREVEL_PICTURES_DIR (scripts/screenshots.sh does)");
        }
    }

    // Twenty days of records every 15 minutes, sent at 38400 baud so that
    // the download shows its progress.
    void directLine()
    {
        Journey journey({"--name", "river", "--records", "2000", "--baud", "38400", "--seed", "7"});
        MainWindow& window = journey.window();
        Picture(journey, "connect", Modal("frmConnect"));
        journey.connectWindow();
        journey.connected();
        journey.then("Sample Continuously", [&] { user::click(user::find(&window, "chkSampleContinuously")); });
        Picture(journey, "main-window", [&]() -> QWidget* {
            // The four samples before the newest are shown one a line.
            const bool fiveSamples = !journey.label("lblHistory0").split(QStringLiteral("\r\n")).constLast().isEmpty();
            return fiveSamples && QApplication::activeModalWidget() == nullptr ? &window : nullptr;
        });
        journey.then("stop sampling", [&] { user::click(user::find(&window, "chkSampleContinuously")); });

        journey.when("Setup", [&] { return user::find(&window, "cmdSetup")->isEnabled(); },
                     [&] { user::click(user::find(&window, "cmdSetup")); });
        const char* pages[][2] = {{"Analog Channels", "setup-analog"},
                                  {"Digital Channels", "setup-digital"},
                                  {"General", "setup-general"},
                                  {"Flow Calculation", "setup-flow"}};
        for (const auto& page : pages) {
            journey.then(QStringLiteral("the page %1").arg(QLatin1String(page[0])),
                         [caption = QString::fromLatin1(page[0])] { Page(caption); });
            Picture(journey, QLatin1String(page[1]), Modal("frmSetup"));
        }
        journey.then("Calibrate channel 1", [] {
            Page(QStringLiteral("Analog Channels"));
            user::click(user::find(user::modal("frmSetup"), "cmdCalibrate_0"));
        });
        Picture(journey, "calibrate", Modal("frmCalibrate"));
        journey.then("Cancel the wizard", [] { user::click(user::find(user::modal("frmCalibrate"), "cmdCancel")); });
        journey.then("Back to Main Window", [] { user::click(user::find(user::modal("frmSetup"), "cmdCancel")); });

        journey.then("Get History", [&] { user::click(user::find(&window, "cmdGetHistoryData")); });
        Picture(journey, "get-history", [] {
            QWidget* download = user::modal("frmGetHistoryData");
            auto* bar = download ? user::find<QProgressBar>(download, "ProgressBar1") : nullptr;
            return bar && bar->value() >= bar->maximum() * 2 / 5 ? download : nullptr;
        });
        journey.when(
            "the download complete",
            [] {
                QWidget* download = user::modal("frmGetHistoryData");
                return download && user::find(download, "cmdOkay")->isEnabled();
            },
            [] { user::click(user::find(user::modal("frmGetHistoryData"), "cmdOkay")); }, 60);
        Picture(journey, "history", Modal("frmHistory"));
        journey.then("OK", [] { user::click(user::find(user::modal("frmHistory"), "cmdOK")); });

        journey.then("About", [&] { user::menu(&window, "&Help", "&About..."); });
        Picture(journey, "about", Modal("frmAbout"));
        journey.then("OK", [] { user::click(user::find(user::modal("frmAbout"), "cmdOK")); });
        journey.closeMainWindow();
        journey.run(180);
    }

    // 20 000 records every 15 minutes (seven months) as a graph, and the
    // live readings as they arrive.
    void graphs()
    {
        Journey journey({"--name", "river", "--records", "20000", "--seed", "7"});
        MainWindow& window = journey.window();
        journey.connectWindow();
        journey.connected();
        journey.then("Get History", [&] { user::click(user::find(&window, "cmdGetHistoryData")); });
        journey.when(
            "the download complete",
            [] {
                QWidget* download = user::modal("frmGetHistoryData");
                return download && user::find(download, "cmdOkay")->isEnabled();
            },
            [] { user::click(user::find(user::modal("frmGetHistoryData"), "cmdOkay")); }, 60);
        journey.then("Graph", [] { user::click(user::find(user::modal("frmHistory"), "cmdGraph")); });
        Picture(journey, "history-graph", Modal("frmHistoryGraph"));
        journey.then("Close", [] { user::click(user::find(user::modal("frmHistoryGraph"), "cmdClose")); });
        journey.then("OK", [] { user::click(user::find(user::modal("frmHistory"), "cmdOK")); });

        auto sampling = std::make_shared<QElapsedTimer>();
        journey.then("the live graph, then Sample Continuously", [&window, sampling] {
            user::menu(&window, "&Action", "&Live Graph");
            user::pick(user::find<QComboBox>(window.findChild<QWidget*>(QStringLiteral("frmLiveGraph")), "cmbSpan"),
                       "1 minute");
            user::click(user::find(&window, "chkSampleContinuously"));
            sampling->start();
        });
        Picture(journey, "live-graph", [&window, sampling]() -> QWidget* {
            auto* live = window.findChild<QWidget*>(QStringLiteral("frmLiveGraph"));
            // Twenty seconds of readings drawn.
            return live && live->isVisible() && sampling->elapsed() > 20000 ? live : nullptr;
        });
        journey.then("stop sampling", [&] { user::click(user::find(&window, "chkSampleContinuously")); });
        journey.closeMainWindow();
        journey.run(120);
    }

    // The modem's window while it dials.
    void modem()
    {
        Journey journey({"--name", "river", "--modem", "--connect-after", "3000", "--seed", "7"});
        // Typing needs the window to have the keyboard, which the window
        // manager gives.
        journey.when("the connection window", [] {
            QWidget* connect = user::modal("frmConnect");
            return connect && QApplication::activeWindow() == connect;
        }, [&] {
            QWidget* connect = user::modal("frmConnect");
            user::click(user::find(connect, "optModem"));
            auto* ports = user::find<QComboBox>(connect, "cmbPort2");
            user::pick(ports, ports->itemText(ports->findText(journey.sim.devicePath, Qt::MatchContains)));
            user::type(user::find(connect, "cmbNumber"), "555 0142");
        });
        Picture(journey, "connect-modem", Modal("frmConnect"));
        journey.when("Connect", [] { return user::modal("frmConnect"); },
                     [] { user::click(user::find(user::modal("frmConnect"), "cmdConnect")); });
        Picture(journey, "modem", [] {
            QWidget* modem = user::modal("frmModem");
            auto* text = modem ? user::find<QPlainTextEdit>(modem, "txtModem") : nullptr;
            return text && text->toPlainText().contains(QStringLiteral("ATDT")) ? modem : nullptr;
        });
        journey.connected(20);
        journey.closeMainWindow();
        journey.run(60);
    }
};

BREVEL_TEST(ManualPictures)
#include "ManualPictures.moc"
