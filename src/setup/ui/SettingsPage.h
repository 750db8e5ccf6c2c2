#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

struct LoggerSettings;
class FieldGuard;
class QCheckBox;
class QComboBox;
class QLineEdit;

// One page of the setup window: it builds its controls, shows its fields of
// the settings record and writes them back, and hands its fields' checks to
// the window's field guard.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    // errorTrapping: a stored list position a list cannot take is then
    // skipped (the list keeps its item) rather than raised.
    SettingsPage(FieldGuard& guard, bool errorTrapping);

    virtual void Load(const LoggerSettings& settings) = 0;
    // Throws where a list whose position is the stored value has none selected.
    virtual void Store(LoggerSettings& settings) const = 0;

protected:
    void Select(QComboBox* combo, int position) const;

    FieldGuard& guard_;

private:
    const bool errorTrapping_;
};

// The window's geometry is kept in twips; 15 twips to a pixel at 96 dots per inch.
constexpr int Px(int twips)
{
    return (twips + 7) / 15;
}

template <typename Widget>
Widget* Named(Widget* widget, const QString& name, const QString& toolTip = {})
{
    widget->setObjectName(name);
    if constexpr (requires { widget->setToolTip(toolTip); }) {
        if (!toolTip.isEmpty()) {
            widget->setToolTip(toolTip);
        }
    }
    return widget;
}

// The object name of one of a row of like controls: "txtHighEU_2".
QString Indexed(const char* name, int index);
QComboBox* PickList(const QString& name, const QStringList& items = {});
// A list whose text can be typed as well as picked.
QComboBox* EditableList(const QString& name, const QStringList& items = {});

void SetTicked(QCheckBox* box, uint8_t value);
uint8_t Ticked(const QCheckBox* box);
// The selected item's position; throws when none is selected.
uint8_t Position(const QComboBox* combo);
// The box's leading number, rounded half to even.
int32_t WholeLeadingNumber(const QLineEdit* edit);
