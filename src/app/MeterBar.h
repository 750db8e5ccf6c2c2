#pragma once

#include <QColor>
#include <QFrame>
#include <QRect>

// The bar frame of a meter column: a sunken panel that fills the part of
// the bar given in its own pixel coordinates.
class MeterBar : public QFrame {
    Q_OBJECT
public:
    explicit MeterBar(QWidget* parent = nullptr);
    // An empty rectangle leaves only the background.
    void SetFill(const QRect& fill, const QColor& colour);
    QRect Fill() const { return fill_; }
    QColor FillColour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect fill_;
    QColor colour_;
};
