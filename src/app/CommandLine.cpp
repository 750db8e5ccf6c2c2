#include "app/CommandLine.h"

#include "core/ProgramOptions.h"
#include "core/NumberText.h"

#include <limits>

void ApplyCommandLine(const QString& commandLine, ProgramOptions& options)
{
    options.ErrorTrapping = !commandLine.contains(QLatin1String("-d"));
    options.ForceInitialisation = commandLine.contains(QLatin1String("-i"));
    options.ModemReplyTicks = 4;
    const qsizetype option = commandLine.toLower().indexOf(QLatin1String("-w"));
    if (option < 0) {
        return;
    }
    // The rest of the line is the number, so the option must stand last. A
    // text that is no tick count (a negative one included) keeps the default
    // instead of ending the program.
    const WholeNumber ticks = ReadWholeNumber(QStringView(commandLine).mid(option + 2));
    if (ticks.Ok && ticks.Value >= 0 && ticks.Value <= std::numeric_limits<int16_t>::max()) {
        options.ModemReplyTicks = static_cast<int16_t>(ticks.Value);
    }
}
