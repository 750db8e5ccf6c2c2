#include "setup/ui/SettingsPage.h"

#include "core/NumberText.h"
#include "platform/ui/TypedComboBox.h"
#include "setup/EditorTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <stdexcept>

SettingsPage::SettingsPage(FieldGuard& guard, bool errorTrapping) : guard_(guard), errorTrapping_(errorTrapping) {}

void SettingsPage::Select(QComboBox* combo, int position) const
{
    if (position >= 0 && position < combo->count()) {
        combo->setCurrentIndex(position);
    } else if (position >= 0 && !errorTrapping_) {
        throw std::out_of_range("list position");
    }
}

QString Indexed(const char* name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QComboBox* PickList(const QString& name, const QStringList& items)
{
    auto* combo = Named(new QComboBox, name);
    combo->addItems(items);
    return combo;
}

QComboBox* EditableList(const QString& name, const QStringList& items)
{
    auto* combo = PickList(name, items);
    MakeTypeable(combo);
    return combo;
}

void SetTicked(QCheckBox* box, uint8_t value)
{
    box->setChecked(value != 0);
}

uint8_t Ticked(const QCheckBox* box)
{
    return box->isChecked() ? 1 : 0;
}

uint8_t Position(const QComboBox* combo)
{
    if (combo->currentIndex() < 0) {
        throw std::runtime_error("no list item selected");
    }
    return static_cast<uint8_t>(combo->currentIndex());
}

int32_t WholeLeadingNumber(const QLineEdit* edit)
{
    return RoundToWhole(LeadingNumber(edit->text()));
}
