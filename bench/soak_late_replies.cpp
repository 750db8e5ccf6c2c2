// History downloads against a logger whose replies are sometimes late: for
// each share of late replies, many seeded runs of the real download over the
// real link and the virtual logger in process, each compared record by record
// with the logger's memory. A late reply is held back by 1.1 to 3 times the
// reply wait (or the range given), and the replies after it wait behind it.
//
// Time is scaled down: one tick of the reply wait lasts --tick-ms
// milliseconds instead of 100, and the late range scales with it.
//
// Run: build/bench/soak_late_replies --seeds 100 --records 10000
//      build/bench/soak_late_replies --reply-ticks 4 --rates 0.05   (the modem wait)

#include "LoggerEngine.h"
#include "SimSerialPort.h"
#include "history/HistoryDownload.h"
#include "history/HistoryRecords.h"
#include "history/LinkHistoryBlocks.h"
#include "link/LoggerLink.h"
#include "link/ReplyTicker.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <cstdio>

namespace {

struct Settings {
    int Seeds = 100;
    int Records = 10000;
    QList<double> Rates{0.02, 0.05, 0.10};
    int ReplyTicks = 10;
    int TickMs = 2;
    double LateLow = 1.1; // how late, in reply waits
    double LateHigh = 3.0;
};

struct RunResult {
    HistoryDownloadEnd End = HistoryDownloadEnd::Error;
    int Received = 0;
    int Lost = 0;       // records of the logger that never arrived
    int Duplicated = 0; // records that arrived more than once
    int Retries = 0;
};

// One download; records are told apart by their time stamps, which the
// generated history never repeats.
RunResult Download(const Settings& settings, double rate, uint32_t seed)
{
    LoggerOptions options;
    options.HistoryRecords = settings.Records;
    options.InitialiseMs = 0;
    options.Faults.Seed = seed;
    options.Faults.LateRate = rate;
    const int waitMs = settings.ReplyTicks * settings.TickMs;
    options.Faults.LateMinMs = int(waitMs * settings.LateLow);
    options.Faults.LateMaxMs = int(waitMs * settings.LateHigh);
    LoggerEngine engine(options);
    SimSerialPort port(engine);
    LinkState state;
    state.ReplyTicks = int16_t(settings.ReplyTicks);
    const ProgramOptions programOptions;
    LoggerLink link(port, state, programOptions);
    ReplyTicker ticker(link, settings.TickMs);
    port.Open();
    ticker.Start();

    HistoryRecords records;
    LinkHistoryBlocks blocks(link);
    HistoryDownload download(blocks, records, options.AnalogChannels, options.PulseChannels);
    RunResult result;
    result.End = download.Run();
    result.Received = records.Count();
    result.Retries = download.TotalRetries();

    QHash<uint32_t, int> seen;
    for (int i = 0; i < records.Count(); ++i) {
        ++seen[records.PackedTime(i)];
    }
    for (const HistoryRecord& logged : engine.Memory().History) {
        const int times = seen.value(logged.Time);
        result.Lost += times == 0 ? 1 : 0;
        result.Duplicated += times > 1 ? times - 1 : 0;
    }
    return result;
}

void Soak(const Settings& settings, double rate)
{
    int correct = 0;
    int silentlyWrong = 0; // complete, the count as the logger reported, records wrong
    int countDiffers = 0;  // complete, but the count differs from the logger's
    int other = 0;         // ended with an error
    int64_t lost = 0;
    int64_t duplicated = 0;
    int64_t retries = 0;
    QElapsedTimer clock;
    clock.start();
    for (int seed = 1; seed <= settings.Seeds; ++seed) {
        const RunResult run = Download(settings, rate, uint32_t(seed));
        retries += run.Retries;
        if (run.End != HistoryDownloadEnd::Complete) {
            ++other;
            continue;
        }
        lost += run.Lost;
        duplicated += run.Duplicated;
        if (run.Lost == 0 && run.Duplicated == 0) {
            ++correct;
        } else if (run.Received == settings.Records) {
            ++silentlyWrong;
        } else {
            ++countDiffers;
        }
    }
    std::printf("%5.1f %% late by %.1f-%.1f waits, wait %2d ticks: %3d runs: %3d complete and exact, %3d complete with records wrong "
                "(%3d of them with the count wrong too), %3d ended in error; %5lld records lost, %4lld duplicated; "
                "%6lld retries; %.0f s\n",
                rate * 100, settings.LateLow, settings.LateHigh, settings.ReplyTicks, settings.Seeds, correct, silentlyWrong + countDiffers, countDiffers,
                other, static_cast<long long>(lost), static_cast<long long>(duplicated),
                static_cast<long long>(retries), clock.elapsed() / 1000.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("seeds"), QStringLiteral("Runs per share of late replies (default 100)."),
                      QStringLiteral("count")});
    parser.addOption({QStringLiteral("records"), QStringLiteral("Records on the logger (default 10000)."),
                      QStringLiteral("count")});
    parser.addOption({QStringLiteral("rates"), QStringLiteral("Shares of late replies (default 0.02,0.05,0.1)."),
                      QStringLiteral("list")});
    parser.addOption({QStringLiteral("reply-ticks"),
                      QStringLiteral("Reply wait in ticks: 10 a direct cable (default), 4 a modem."),
                      QStringLiteral("ticks")});
    parser.addOption({QStringLiteral("late-range"),
                      QStringLiteral("How late a late reply is, in reply waits (default 1.1-3)."),
                      QStringLiteral("low-high")});
    parser.addOption({QStringLiteral("tick-ms"), QStringLiteral("Milliseconds a tick lasts here (default 2)."),
                      QStringLiteral("ms")});
    parser.process(app);

    Settings settings;
    auto number = [&parser](const char* name, int fallback) {
        const QString text = parser.value(QString::fromLatin1(name));
        return text.isEmpty() ? fallback : text.toInt();
    };
    settings.Seeds = number("seeds", settings.Seeds);
    settings.Records = number("records", settings.Records);
    settings.ReplyTicks = number("reply-ticks", settings.ReplyTicks);
    settings.TickMs = number("tick-ms", settings.TickMs);
    if (parser.isSet(QStringLiteral("late-range"))) {
        const QStringList range = parser.value(QStringLiteral("late-range")).split(QLatin1Char('-'));
        settings.LateLow = range.value(0).toDouble();
        settings.LateHigh = range.value(1).toDouble();
    }
    if (parser.isSet(QStringLiteral("rates"))) {
        settings.Rates.clear();
        for (const QString& rate : parser.value(QStringLiteral("rates")).split(QLatin1Char(','))) {
            settings.Rates.append(rate.toDouble());
        }
    }
    for (double rate : settings.Rates) {
        Soak(settings, rate);
    }
    return 0;
}
