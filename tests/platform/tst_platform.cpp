#include "TestRegistry.h"
#include "platform/FileFilter.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtHelpViewer.h"
#include "platform/ui/QtPrompter.h"
#include "platform/ui/TypedComboBox.h"
#include "platform/QtSettingsStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

namespace {

// Acts on the next modal window as soon as it shows; closes it after a few seconds, so that a test cannot hang.
template <typename Window>
void WhenModalShows(std::function<void(Window*)> act)
{
    QTimer::singleShot(0, [act] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        QVERIFY(window);
        act(window);
    });
    QTimer::singleShot(5000, [] {
        if (auto* stuck = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            stuck->done(QDialog::Rejected);
        }
    });
}

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT
public slots:
    void openUrl(const QUrl& url) { opened.append(url); }

private slots:
    void filtersAndExtensions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("extension"); // none: text is a filter
        QTest::addColumn<QString>("expected");
        // The second description lacks its patterns; the last has none at all.
        QTest::newRow("filter pairs") << "Comma Separated Value Files (*.csv)|*.csv|Tables|*.tbl;*.txt|Odd" << QString()
                                      << "Comma Separated Value Files (*.csv);;Tables (*.tbl *.txt)";
        QTest::newRow("own extension kept") << "/data/site4.txt" << ".set" << "/data/site4.txt";
        QTest::newRow("dot in folder only") << "/data.v2/site4" << ".csv" << "/data.v2/site4.csv";
        QTest::newRow("trailing dot") << "/data/site4." << ".set" << "/data/site4.set";
        QTest::newRow("extension without dot") << "/data/site4" << "set" << "/data/site4.set";
        QTest::newRow("no default") << "/data/site4" << "" << "/data/site4";
    }
    void filtersAndExtensions()
    {
        QFETCH(QString, text);
        QFETCH(QString, extension);
        QTEST(extension.isNull() ? QtFileFilter(text) : WithDefaultExtension(text, extension), "expected");
    }

    // The real message box, answered by its buttons, Escape, Enter and the close box; it opens over the window it
    // belongs to, even while the program is in the background and has no active window.
    void answersWhatWasPressed_data()
    {
        QTest::addColumn<PromptButtons>("buttons");
        QTest::addColumn<PromptAnswer>("preferred");
        QTest::addColumn<QString>("press");
        QTest::addColumn<PromptAnswer>("answer");
        using B = PromptButtons;
        using A = PromptAnswer;
        QTest::newRow("Ok: Escape") << B::Ok << A::Ok << "Escape" << A::Ok;
        QTest::newRow("OkCancel: Cancel") << B::OkCancel << A::Ok << "Cancel" << A::Cancel;
        QTest::newRow("OkCancel: Enter") << B::OkCancel << A::Ok << "Enter" << A::Ok;
        QTest::newRow("OkCancel: Enter, Cancel preferred") << B::OkCancel << A::Cancel << "Enter" << A::Cancel;
        QTest::newRow("YesNo: Escape") << B::YesNo << A::Yes << "Escape" << A::No;
        QTest::newRow("YesNo: Enter, No preferred") << B::YesNo << A::No << "Enter" << A::No;
        QTest::newRow("YesNoCancel: No") << B::YesNoCancel << A::Yes << "No" << A::No;
        QTest::newRow("YesNoCancel: Escape") << B::YesNoCancel << A::Yes << "Escape" << A::Cancel;
        QTest::newRow("YesNoCancel: close box") << B::YesNoCancel << A::Yes << "close" << A::Cancel;
    }
    void answersWhatWasPressed()
    {
        QFETCH(PromptButtons, buttons);
        QFETCH(PromptAnswer, preferred);
        QFETCH(QString, press);
        QMainWindow main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QApplication::setActiveWindow(nullptr);
        const bool warning = buttons == PromptButtons::Ok;
        QString shown;
        WhenModalShows<QMessageBox>([&](QMessageBox* box) {
            shown = box->windowTitle() + u'|' + box->text();
            QCOMPARE(box->parentWidget(), &main);
            QCOMPARE(box->icon(), warning ? QMessageBox::Warning : QMessageBox::Question);
            if (press == u"close") {
                box->close();
            } else if (press == u"Escape" || press == u"Enter") {
                QTest::keyClick(box, press == u"Escape" ? Qt::Key_Escape : Qt::Key_Return);
            }
            for (QAbstractButton* button : box->buttons()) {
                if (button->text().remove(u'&') == press) {
                    QTest::mouseClick(button, Qt::LeftButton);
                }
            }
        });
        const PromptIcon icon = warning ? PromptIcon::Warning : PromptIcon::Question;
        QTEST(QtPrompter().Ask(QStringLiteral("Title"), QStringLiteral("Text"), icon, buttons, preferred), "answer");
        QCOMPARE(shown, QStringLiteral("Title|Text"));
    }

    // The real file dialog: the initial name chooses the folder (a pattern), the folder and the file (a name) or
    // the folder itself; the default extension goes onto a typed name, the filter is shown, Escape is Cancel.
    void fileDialogStartsWhereAskedAndCancelChoosesNothing_data()
    {
        QTest::addColumn<QString>("initial"); // below the test's folder
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("a pattern chooses the folder") << "*.set" << "river" << "river.set";
        QTest::newRow("a name is chosen in its folder") << "lake.set" << "" << "lake.set";
        QTest::newRow("a folder opens in it") << "sites" << "river" << "sites/river.set";
    }
    void fileDialogStartsWhereAskedAndCancelChoosesNothing()
    {
        QFETCH(QString, initial);
        QFETCH(QString, typed);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sites")));
        FileDialogRequest request;
        request.Filter = QStringLiteral("Setup Files (*.set)|*.set");
        request.DefaultExtension = QStringLiteral(".set");
        request.InitialFileName = folder.filePath(initial);
        QString filter;
        WhenModalShows<QFileDialog>([&](QFileDialog* dialog) {
            filter = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(name, typed);
            QTest::keyClick(name, Qt::Key_Return);
        });
        QtFileDialogs dialogs;
        QFETCH(QString, chosen);
        QCOMPARE(dialogs.SaveFile(request), std::optional<QString>(folder.filePath(chosen)));
        QCOMPARE(filter, QStringLiteral("Setup Files (*.set)"));

        WhenModalShows<QFileDialog>([](QFileDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        QCOMPARE(dialogs.OpenFile(request), std::nullopt);
    }

    void settingsStoreKeepsValuesPerSectionAcrossInstances()
    {
        QTemporaryDir folder;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        const QString app = QStringLiteral("Brevel Logger");
        QtSettingsStore().SetValue(app, QStringLiteral("Configuration"), QStringLiteral("DirectPort"), "COM9");
        const QtSettingsStore again;
        QCOMPARE(again.Value(app, QStringLiteral("Configuration"), QStringLiteral("DirectPort"), "Com1"), "COM9");
        QCOMPARE(again.Value(app, QStringLiteral("Other"), QStringLiteral("DirectPort"), "Com1"), "Com1");
        QVERIFY(!QDir(folder.path()).isEmpty());
    }

    void helpViewerOpensTheManualsAddress()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
        const bool result = QtHelpViewer().Open(QStringLiteral("/opt/brevel/BrevelFlowMonitor.html"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QVERIFY(result);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/opt/brevel/BrevelFlowMonitor.html"))});
    }

    void typedTextIsChosenButNotAdded()
    {
        QComboBox list;
        list.addItems({QStringLiteral("555-0100"), QStringLiteral("555-0199")});
        MakeTypeable(&list);
        QTest::keyClick(list.lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(list.lineEdit(), QStringLiteral("555-0123"));
        QTest::keyClick(list.lineEdit(), Qt::Key_Return);
        QCOMPARE(list.currentText(), QStringLiteral("555-0123"));
        QCOMPARE(list.count(), 2);
    }

private:
    QList<QUrl> opened;
};

BREVEL_TEST(PlatformTest)
#include "tst_platform.moc"
