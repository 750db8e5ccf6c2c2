#pragma once

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QTest>
#include <QWidget>

// What a window shows, pixel for pixel, against the picture kept in
// tests/snapshots. A picture keeps the name of the font it was drawn in; on a
// machine whose default font differs there is nothing to compare.
// After a change of layout meant to be seen, BREVEL_UPDATE_SNAPSHOTS=1 keeps
// the new pictures (look at them before committing).
struct Snapshot {
    bool comparable = true;
    QString difference; // empty when the window looks as kept
};

inline Snapshot CompareSnapshot(QWidget& widget, const QString& name)
{
    const QString file = QStringLiteral(BREVEL_SOURCE_DIR "/tests/snapshots/%1.png").arg(name);
    const QString font = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIsSet("BREVEL_UPDATE_SNAPSHOTS")) {
        shown.setText(QStringLiteral("font"), font);
        QDir().mkpath(QFileInfo(file).path());
        return {true, shown.save(file) ? QString() : QStringLiteral("cannot write ") + file};
    }
    const QImage kept(file);
    if (kept.isNull()) {
        return {true, file + QStringLiteral(" is missing: run the test with BREVEL_UPDATE_SNAPSHOTS=1")};
    }
    if (kept.text(QStringLiteral("font")) != font) {
        return {false, QStringLiteral("the picture was drawn in %1, this machine draws in %2")
                           .arg(kept.text(QStringLiteral("font")), font)};
    }
    if (shown == kept.convertToFormat(QImage::Format_RGB32)) {
        return {};
    }
    const QString now = QDir::temp().filePath(name + QStringLiteral(".now.png"));
    shown.save(now);
    return {true, QStringLiteral("%1 differs from %2; the window now: %3").arg(name, file, now)};
}

// In a test function: fails when the window differs from its picture, skips
// when the picture was drawn in another font.
#define BREVEL_VERIFY_SNAPSHOT(widget, name)                                \
    do {                                                                    \
        const Snapshot snapshot = CompareSnapshot((widget), (name));        \
        if (!snapshot.comparable) {                                         \
            QSKIP(qPrintable(snapshot.difference));                         \
        }                                                                   \
        QVERIFY2(snapshot.difference.isEmpty(), qPrintable(snapshot.difference)); \
    } while (false)
