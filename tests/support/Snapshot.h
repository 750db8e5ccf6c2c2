#pragma once

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QTest>
#include <QWidget>

// What a window shows, pixel for pixel, against the picture kept in tests/snapshots, drawn in the font it names.
// After a change of layout meant to be seen, BREVEL_UPDATE_SNAPSHOTS=1 keeps the new pictures (look at them).
// How the window differs from its picture, empty when alike; comparable is false when drawn in another font.
inline QString SnapshotDifference(QWidget& widget, const QString& name, bool& comparable)
{
    const QString file = QStringLiteral(BREVEL_SOURCE_DIR "/tests/snapshots/%1.png").arg(name);
    const QString font = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIsSet("BREVEL_UPDATE_SNAPSHOTS")) {
        shown.setText(QStringLiteral("font"), font);
        QDir().mkpath(QFileInfo(file).path());
        return shown.save(file) ? QString() : QStringLiteral("cannot write ") + file;
    }
    const QImage kept(file);
    if (kept.isNull()) {
        return file + QStringLiteral(" is missing: run the test with BREVEL_UPDATE_SNAPSHOTS=1");
    }
    comparable = kept.text(QStringLiteral("font")) == font;
    if (!comparable) {
        return QStringLiteral("the picture was drawn in %1, this machine draws in %2").arg(kept.text("font"), font);
    }
    if (shown == kept.convertToFormat(QImage::Format_RGB32)) {
        return {};
    }
    const QString now = QDir::temp().filePath(name + QStringLiteral(".now.png"));
    shown.save(now);
    return QStringLiteral("%1 differs from %2; the window now: %3").arg(name, file, now);
}

// Fails when the window differs from its picture; skips when the picture was drawn in another font.
#define BREVEL_VERIFY_SNAPSHOT(widget, name)                                \
    do {                                                                    \
        bool comparable = true;                                             \
        const QString difference = SnapshotDifference((widget), (name), comparable); \
        if (!comparable) {                                                  \
            QSKIP(qPrintable(difference));                                  \
        }                                                                   \
        QVERIFY2(difference.isEmpty(), qPrintable(difference));             \
    } while (false)
