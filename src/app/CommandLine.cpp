#include "app/CommandLine.h"

#include "core/AppState.h"
#include "core/NumberText.h"

#include <limits>

void ApplyCommandLine(const QString& commandLine, AppState& state)
{
    state.ErrorTrapping = !commandLine.contains(QLatin1String("-d"));
    state.ForceInitialisation = commandLine.contains(QLatin1String("-i"));
    state.ModemReplyTicks = 4;
    const qsizetype option = commandLine.toLower().indexOf(QLatin1String("-w"));
    if (option < 0) {
        return;
    }
    // The rest of the line is the number, so the option must stand last. A
    // text that is no tick count (a negative one included) keeps the default
    // instead of ending the program.
    const WholeNumber ticks = ReadWholeNumber(QStringView(commandLine).mid(option + 2));
    if (ticks.Ok && ticks.Value >= 0 && ticks.Value <= std::numeric_limits<int16_t>::max()) {
        state.ModemReplyTicks = static_cast<int16_t>(ticks.Value);
    }
}
