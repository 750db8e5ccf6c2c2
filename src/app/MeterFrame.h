#pragma once

#include <QGroupBox>

class MeterBar;
class QLabel;

// One meter column of the main window (fraMeter0 to fraMeter7): the bar
// frame and the labels of its scale, its newest value and the four values
// before it. Texts are written only when they change.
class MeterFrame : public QGroupBox {
    Q_OBJECT
public:
    MeterFrame(int column, QWidget* parent);

    // The bar frame inside the column frame, in twips.
    static QRect ColumnFrameTwips();

    // As at start-up: numbered caption, scale "0.000", no readings; only
    // column 1's labels keep their place.
    void Reset();
    void ShowScale(const QString& maxText, const QString& minText, const QString& unitsText);
    // The scale labels (top, bottom, unit) only.
    void ShowScaleLabels(bool shown);
    // Every label of the column.
    void ShowLabels(bool shown);
    // The newest value and the four before it, joined by CR LF.
    void ShowReadings(const QString& valueText, const QString& historyText);
    void ClearReadings();
    // Why the unit allows no flow (empty: no tool tip), and the unit drawn in
    // red while it does not.
    void SetUnitsToolTip(const QString& text);
    void MarkUnitsInvalid(bool invalid);

    MeterBar& Bar() { return *bar_; }

private:
    int column_;
    MeterBar* bar_;
    QLabel* max_;
    QLabel* units_;
    QLabel* min_;
    QLabel* value_;
    QLabel* history_;
};
