#include "app/UserSettings.h"

#include "core/NumberText.h"
#include "platform/SettingsStore.h"

#include <limits>
#include <type_traits>

namespace {

const QString kApplication = QStringLiteral("Brevel Logger");
const QString kSection = QStringLiteral("Configuration");

// One walk over the keys in their stored order serves reading and writing.
template <typename Settings, typename Visit>
void ForEachKey(Settings& settings, Visit&& visit)
{
    visit(QStringLiteral("DirectPort"), settings.DirectPort);
    visit(QStringLiteral("DirectBaud"), settings.DirectBaud);
    visit(QStringLiteral("ModemPort"), settings.ModemPort);
    visit(QStringLiteral("ModemBaud"), settings.ModemBaud);
    for (size_t i = 0; i < settings.ModemNumber.size(); ++i) {
        visit(QStringLiteral("ModemNumber%1").arg(i), settings.ModemNumber[i]);
    }
    visit(QStringLiteral("ModemInit"), settings.ModemInit);
    visit(QStringLiteral("UseModemInit"), settings.UseModemInit);
    visit(QStringLiteral("LastFilePath"), settings.LastFilePath);
    for (size_t i = 0; i < settings.LastFile.size(); ++i) {
        visit(QStringLiteral("LastFile%1").arg(i), settings.LastFile[i]);
    }
}

} // namespace

UserSettings ReadUserSettings(const SettingsStore& store)
{
    UserSettings settings; // each field starts at its default
    ForEachKey(settings, [&](const QString& key, auto& field) {
        using Field = std::remove_reference_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, int16_t>) {
            // A stored text that is no 16-bit whole number counts as off.
            const WholeNumber number = ReadWholeNumber(store.Value(kApplication, kSection, key, QString::number(field)));
            const bool fits = number.Ok && number.Value >= std::numeric_limits<int16_t>::min()
                && number.Value <= std::numeric_limits<int16_t>::max();
            field = fits ? static_cast<int16_t>(number.Value) : int16_t{0};
        } else {
            field = store.Value(kApplication, kSection, key, field);
        }
    });
    return settings;
}

void WriteUserSettings(const UserSettings& settings, SettingsStore& store)
{
    ForEachKey(settings, [&](const QString& key, const auto& field) {
        using Field = std::remove_cvref_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, int16_t>) {
            store.SetValue(kApplication, kSection, key, QString::number(field));
        } else {
            store.SetValue(kApplication, kSection, key, field);
        }
    });
}
