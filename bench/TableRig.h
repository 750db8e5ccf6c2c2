#pragma once

// 200 000 records of a 3-analog, 2-pulse logger measuring a pipe's level,
// with flow by Manning's equation and velocity: what the table and graph
// benchmarks open.

#include "config/LoggerSettings.h"
#include "flow/FlowDisplayState.h"
#include "config/Rating.h"
#include "history/HistoryFlow.h"
#include "history/HistoryRecords.h"
#include "history/ui/HistoryWindow.h"
#include "platform/BusyCursor.h"
#include "platform/FileDialogs.h"
#include "platform/Prompter.h"

#include <QByteArray>
#include <QDate>
#include <cmath>

class QuietPrompter : public Prompter {
public:
    using Prompter::Ask;
    PromptAnswer Ask(const QString&, const QString&, PromptIcon, PromptButtons, PromptAnswer) override
    {
        return PromptAnswer::Yes;
    }
};
class NoDialogs : public FileDialogs {
public:
    std::optional<QString> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
};
class NoCursor : public BusyCursor {
public:
    void SetBusy(bool) override {}
};

struct TableRig {
    TableRig()
    {
        Settings.AnalogEnable = {1, 1, 1, 0, 0, 0, 0, 0};
        Settings.DigitalEnable = {1, 1};
        Settings.EngUnits = {QStringLiteral("ft"), QStringLiteral("degC"), QStringLiteral("mg/L"), {}, {}, {}, {}, {},
                             QStringLiteral("in"), QStringLiteral("gal")};
        Settings.DecPlaces = {3, 1, 2, 0, 0, 0, 0, 0, 2, 0};
        Settings.RawScaleUpper = {65535, 65535, 65535, 0, 0, 0, 0, 0};
        Settings.UpperLimit = {5, 50, 20, 0, 0, 0, 0, 0};
        Settings.PulseUnit = {0.01, 1};
        Settings.FlowMode = 1;
        Settings.ManningsN = 0.013;
        Settings.ManningsS = 0.001;
        Settings.ManningsD = 1.5;
        Records.Reset(5);
        QByteArray record(14, '\0');
        for (int i = 0; i < HistoryRecords::Capacity; ++i) {
            // Every 15 minutes from 1 January 2025.
            const QDate day = QDate(2025, 1, 1).addDays(i / 96);
            const uint32_t time = uint32_t((day.year() - 2000) * 12 + day.month() - 1) << 22
                                  | uint32_t(day.day()) << 17 | uint32_t(i / 4 % 24) << 12 | uint32_t(i % 4 * 15) << 6;
            const int values[5] = {int(20000 + 15000 * std::sin(i / 700.0)) / 16 * 16, 30000 + i % 7, 12000,
                                   i % 3, i / 1000 % 50};
            for (int b = 0; b < 4; ++b) {
                record[b] = char(time >> (8 * b));
            }
            for (int k = 0; k < 5; ++k) {
                record[4 + 2 * k] = char(values[k] >> 8);
                record[5 + 2 * k] = char(values[k]);
            }
            Records.AppendRecord(record.constData());
        }
    }
    HistoryWindowContext Context()
    {
        return {std::make_unique<HistoryTable>(Records, Settings, MakeHistoryFlowSource(Settings, Rating, Display)),
                Settings.FlowMode, {}, QStringLiteral("Bench"), QString(), true, Prompter, Dialogs, Cursor};
    }

    LoggerSettings Settings;
    RatingState Rating;
    FlowDisplayState Display;
    HistoryRecords Records;
    QuietPrompter Prompter;
    NoDialogs Dialogs;
    NoCursor Cursor;
};

