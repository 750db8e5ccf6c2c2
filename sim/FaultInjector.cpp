#include "FaultInjector.h"

#include <algorithm>

bool FaultOptions::Any() const
{
    return NoiseRate > 0 || LoseByteRate > 0 || CorruptRate > 0 || LoseAckRate > 0 || LoseRequestRate > 0
        || LateRate > 0 || HangUpAfterBytes >= 0;
}

FaultInjector::FaultInjector(const FaultOptions& options)
    : options_(options)
    , generator_(options.Seed)
{
}

bool FaultInjector::Chance(double rate)
{
    if (rate <= 0.0) {
        return false; // no draw: a fault that is off does not shift the others
    }
    return static_cast<double>(generator_()) / 4294967296.0 < rate;
}

bool FaultInjector::LoseRequest()
{
    return Chance(options_.LoseRequestRate);
}

bool FaultInjector::LoseAcknowledge()
{
    return Chance(options_.LoseAckRate);
}

int FaultInjector::LateDelayMs()
{
    if (!Chance(options_.LateRate)) {
        return 0;
    }
    const uint32_t span = static_cast<uint32_t>(std::max(options_.LateMaxMs - options_.LateMinMs, 0)) + 1;
    return options_.LateMinMs + static_cast<int>(generator_() % span);
}

QByteArray FaultInjector::Distort(const QByteArray& reply)
{
    QByteArray out;
    for (char byte : reply) {
        if (lineDead_) {
            break;
        }
        if (options_.HangUpAfterBytes >= 0 && bytesSent_ >= options_.HangUpAfterBytes) {
            lineDead_ = true;
            options_.HangUpAfterBytes = -1;
            break;
        }
        ++bytesSent_;
        if (Chance(options_.NoiseRate)) {
            out.append(static_cast<char>(generator_() & 0xFF));
        }
        if (Chance(options_.LoseByteRate)) {
            continue;
        }
        if (Chance(options_.CorruptRate)) {
            byte = static_cast<char>(static_cast<uint8_t>(byte) ^ (1u << (generator_() % 8)));
        }
        out.append(byte);
    }
    return out;
}
