#include "LoggerMemory.h"

#include "SignalModel.h"
#include "WallClock.h"
#include "config/SettingsImage.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr quint32 FileMagic = 0x42524C47; // "BRLG"
constexpr quint32 FileVersion = 1;

} // namespace

QByteArray LoggerMemory::Read(uint32_t address, int count) const
{
    QByteArray bytes(count, char(0xFF));
    for (int i = 0; i < count; ++i) {
        const uint64_t at = static_cast<uint64_t>(address) + static_cast<uint64_t>(i);
        if (at < static_cast<uint64_t>(SettingsMemorySize)) {
            bytes[i] = SettingsMemory.at(static_cast<qsizetype>(at));
        }
    }
    return bytes;
}

bool LoggerMemory::Write(uint32_t address, const QByteArray& bytes)
{
    if (static_cast<uint64_t>(address) + static_cast<uint64_t>(bytes.size()) > SettingsMemorySize) {
        return false;
    }
    SettingsMemory.replace(static_cast<qsizetype>(address), bytes.size(), bytes);
    return true;
}

void LoggerMemory::EraseSettings()
{
    SettingsMemory.fill(char(0xFF));
}

void LoggerMemory::WriteSettingsImage(const QByteArray& image)
{
    if (image.size() != SettingsImageSize) {
        return;
    }
    for (const SettingsRegion& region : SettingsReadRegions) {
        Write(region.Address, image.mid(region.ImageOffset, region.Length));
    }
}

bool LoggerMemory::Save(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_4);
    out << FileMagic << FileVersion << SettingsMemory << qint64(ClockOffsetSeconds) << qint64(PulseSince)
        << quint32(History.size());
    for (const HistoryRecord& record : History) {
        out << record.Time;
        for (uint16_t value : record.Values) {
            out << value;
        }
    }
    if (out.status() != QDataStream::Ok || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool LoggerMemory::Load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    quint32 version = 0;
    in >> magic >> version;
    if (magic != FileMagic || version != FileVersion) {
        *error = QStringLiteral("not a virtual logger memory file");
        return false;
    }
    QByteArray settings;
    qint64 clockOffset = 0;
    qint64 pulseSince = 0;
    quint32 count = 0;
    in >> settings >> clockOffset >> pulseSince >> count;
    if (in.status() != QDataStream::Ok || settings.size() != SettingsMemorySize
        || count > static_cast<quint32>(file.size() / 24)) {
        *error = QStringLiteral("the memory file is damaged");
        return false;
    }
    std::vector<HistoryRecord> history(count);
    for (HistoryRecord& record : history) {
        in >> record.Time;
        for (uint16_t& value : record.Values) {
            in >> value;
        }
    }
    if (in.status() != QDataStream::Ok) {
        *error = QStringLiteral("the memory file is damaged");
        return false;
    }
    SettingsMemory = settings;
    ClockOffsetSeconds = clockOffset;
    PulseSince = pulseSince;
    History = std::move(history);
    return true;
}

std::vector<HistoryRecord> GenerateHistory(const SignalModel& model, int count, int periodSeconds,
                                           int64_t lastTime, int analogChannels, int pulseChannels)
{
    std::vector<HistoryRecord> history(static_cast<size_t>(std::max(count, 0)));
    const int64_t last = lastTime - lastTime % periodSeconds;
    const int64_t first = last - static_cast<int64_t>(periodSeconds) * (count - 1);
    for (int i = 0; i < count; ++i) {
        const int64_t t = first + static_cast<int64_t>(periodSeconds) * i;
        HistoryRecord& record = history[static_cast<size_t>(i)];
        record.Time = PackTimestamp(t);
        for (int c = 0; c < analogChannels; ++c) {
            record.Values[static_cast<size_t>(c)] = model.AnalogCount(c, t);
        }
        for (int p = 0; p < pulseChannels; ++p) {
            record.Values[static_cast<size_t>(8 + p)] = model.PulseCount(p, t, first);
        }
    }
    return history;
}

void AppendRecordBytes(QByteArray& out, const HistoryRecord& record, int analogChannels, int pulseChannels)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.append(static_cast<char>((record.Time >> shift) & 0xFF));
    }
    auto appendValue = [&out](uint16_t value) {
        out.append(static_cast<char>(value >> 8));
        out.append(static_cast<char>(value & 0xFF));
    };
    for (int c = 0; c < analogChannels; ++c) {
        appendValue(record.Values[static_cast<size_t>(c)]);
    }
    for (int p = 0; p < pulseChannels; ++p) {
        appendValue(record.Values[static_cast<size_t>(8 + p)]);
    }
}
