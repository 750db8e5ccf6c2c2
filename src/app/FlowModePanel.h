#pragma once

#include "flow/FlowDisplay.h"

#include <QGroupBox>

class QLabel;

// The frame fraFlowMode: how flow is computed and with which parameters, a
// caption label and a value label to a row.
class FlowModePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit FlowModePanel(QWidget* parent);

    // The mode labels and the rows as the flow display says; rows it leaves
    // alone keep what they show.
    void Show(const FlowDisplay& display);

    // The parameter texts as shown, for the history export.
    QString OffsetText() const;
    QString RoughnessText() const;
    QString SlopeText() const;
    QString DiameterText() const;

private:
    struct Row {
        QLabel* Caption = nullptr;
        QLabel* Value = nullptr;
        // Both labels shown or hidden; the value text is written only while
        // the row shows.
        void Show(bool visible, const QString& text) const;
    };
    Row AddRow(const QString& captionName, const QString& captionText, const QString& valueName);

    int nextTop_ = 240;
    Row mode_;
    Row rating_;
    Row diameter_;
    Row slope_;
    Row roughness_;
    Row offset_;
};
