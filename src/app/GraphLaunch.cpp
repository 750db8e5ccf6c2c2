#include "app/GraphLaunch.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/Session.h"
#include "flow/FlowDisplay.h"
#include "graph/GraphTime.h"
#include "graph/ui/HistoryGraphWindow.h"
#include "graph/ui/LiveGraphWindow.h"

#include <QDateTime>
#include <QPointer>
#include <cmath>
#include <limits>
#include <memory>

namespace {

constexpr size_t FlowColumn = 3;
constexpr size_t VelocityColumn = 4;
constexpr double Missing = std::numeric_limits<double>::quiet_NaN();

size_t AnalogColumns(const Session& session)
{
    return std::min<size_t>(session.Logger.NumAnalogChannels, FlowColumn);
}

// The shown meter columns, in column order.
std::vector<LiveStrip> LiveStrips(const Session& session)
{
    const LoggerSettings& settings = session.Logger;
    std::vector<LiveStrip> strips;
    for (size_t c = 0; c < AnalogColumns(session); ++c) {
        if (session.Meters[c].Shown) {
            strips.push_back({QStringLiteral("Channel %1 (%2)").arg(c + 1).arg(settings.EngUnits[c]),
                              settings.EngUnits[c], settings.DecPlaces[c], -1});
        }
    }
    const QString flowUnit = FlowUnitName(settings.FlowUnits);
    if (session.Meters[FlowColumn].Shown) {
        strips.push_back({QStringLiteral("Flow (%1)").arg(flowUnit), flowUnit, session.FlowDisplay.FlowDecimals,
                          settings.FlowUnits});
    }
    if (session.Meters[VelocityColumn].Shown) {
        const QString velocityUnit = settings.VelUnits == 0 ? QStringLiteral("FPS") : QStringLiteral("MPS");
        strips.push_back({QStringLiteral("Velocity (%1)").arg(velocityUnit), velocityUnit,
                          session.FlowDisplay.VelocityDecimals, -1});
    }
    return strips;
}

// The values the shown meter columns took from the newest sample; a
// channel the sample lacks (and flow without a level) is missing, not the
// bottom of the scale its bar drops to.
std::vector<double> LiveValues(const Session& session)
{
    const LiveSample& sample = session.SampleHistory[0];
    std::vector<double> values;
    for (size_t c = 0; c < AnalogColumns(session); ++c) {
        if (session.Meters[c].Shown) {
            values.push_back(sample.Values[c] == -1 ? Missing : session.Meters[c].Value);
        }
    }
    const bool level = session.Meters[0].Shown && sample.Values[0] != -1;
    for (size_t column : {FlowColumn, VelocityColumn}) {
        if (session.Meters[column].Shown) {
            values.push_back(level ? session.Meters[column].Value : Missing);
        }
    }
    return values;
}

double Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    return GraphSeconds(now.date(), now.time());
}

} // namespace

OpenHistoryGraph HistoryGraphOpener(Session& session)
{
    return [&session](const RecordTable& table, const QString& loggerName, QWidget* parent) {
        HistoryGraphWindow graph(
            {table, loggerName, session.AppFolder, session.Services.Messages, session.Services.Dialogs}, parent);
        graph.exec();
    };
}

void InstallGraphs(Session& session, MainController& controller, MainWindow& window)
{
    auto live = std::make_shared<QPointer<LiveGraphWindow>>();
    GraphOpeners openers;
    openers.History = HistoryGraphOpener(session);
    openers.Live = [&session, &window, live] {
        if (!*live) {
            *live = new LiveGraphWindow(&window);
            (*live)->SetStrips(LiveStrips(session));
        }
        (*live)->show();
        (*live)->raise();
        (*live)->activateWindow();
    };
    controller.SetGraphOpeners(std::move(openers));
    QObject::connect(&controller, &MainController::LiveSamplesShown, &window, [&session, live] {
        if (*live && session.Window.SampleCount > 0) {
            (*live)->SetStrips(LiveStrips(session));
            (*live)->AddReading(Now(), LiveValues(session));
        }
    });
}
