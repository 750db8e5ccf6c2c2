#include "Journey.h"
#include "TestRegistry.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

namespace {

QWidget* LogWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("frmCommLog") && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

// After connecting, Help > Communications Log shows the frames of the
// connection, and Save writes them to a file as shown.
class CommunicationsLogJourney : public QObject {
    Q_OBJECT
private slots:
    void showsAndSavesTheConversation()
    {
        Journey journey({});
        MainWindow& window = journey.window();
        const QString saved = journey.files.filePath("for support.txt");
        QString shown;
        journey.connectWindow();
        journey.connected();
        journey.then("Help > Communications Log", [&] { user::menu(&window, "&Help", "&Communications Log"); });
        journey.when("the log", [] { return LogWindow() != nullptr; }, [&] {
            shown = user::find<QPlainTextEdit>(LogWindow(), "txtLog")->toPlainText();
            // The wake-up letters, then acknowledged frames of the settings read.
            QVERIFY2(shown.contains(QStringLiteral(" > 55")) && shown.contains(QStringLiteral("< FA  acknowledged")),
                     qPrintable(shown.left(400)));
            user::click(user::find(LogWindow(), "cmdSave"));
        });
        journey.when("the save dialog", [] { return user::modal("Save Communications Log"); },
                     [&] { user::fileName("Save Communications Log", saved.chopped(4)); });
        journey.when("back in the log", [] { return LogWindow() != nullptr; },
                     [] { user::click(user::find(LogWindow(), "cmdClose")); });
        journey.closeMainWindow();
        if (!journey.run()) {
            return;
        }
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        const QStringList shownLines = shown.split(QLatin1Char('\n'));
        QVERIFY(lines.size() > shownLines.size());
        QCOMPARE(lines.mid(0, shownLines.size()), shownLines);
    }
};

BREVEL_TEST(CommunicationsLogJourney)
#include "tst_commlog.moc"
