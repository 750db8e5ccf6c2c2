#pragma once
// Stand-ins until the configuration helpers land on main. Signatures follow theirs.
#include "config/LoggerSettings.h"
#include "core/NumberText.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

struct RatingState;

inline double LeadingNumber(QStringView text)
{
    QString t = text.toString();
    int i = 0;
    while (i < t.size() && t[i] == QLatin1Char(' ')) ++i;
    int start = i;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    while (i < t.size() && t[i].isDigit()) ++i;
    if (i < t.size() && t[i] == QLatin1Char('.')) { ++i; while (i < t.size() && t[i].isDigit()) ++i; }
    int end = i;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < t.size() && (t[j] == QLatin1Char('+') || t[j] == QLatin1Char('-'))) ++j;
        if (j < t.size() && t[j].isDigit()) { while (j < t.size() && t[j].isDigit()) ++j; end = j; }
    }
    bool ok = false;
    double v = t.mid(start, end - start).toDouble(&ok);
    return ok ? v : 0.0;
}
inline uint32_t EncodeNumber24(double x)
{
    if (x == 0) return 0;
    uint32_t sign = 0; if (x < 0) { sign = 0x800000; x = -x; }
    if (x > 999999) x = 999999;
    int e = 0; while (x < 99999.95 && e < 7) { x *= 10; ++e; }
    x += 0.5; x = QString::number(x, 'g', 15).toDouble();
    uint32_t m = static_cast<uint32_t>(std::floor(x)); if (m > 999999) m = 999999;
    return m + (uint32_t(e) << 20) + sign;
}
inline double DecodeNumber24(uint32_t c)
{
    if (c == 0) return 0.0;
    double v = c & 0xFFFFF; int e = (c >> 20) & 7; for (int i = 0; i < e; ++i) v /= 10;
    if (c & 0x800000) v = -v; return v;
}
std::optional<QByteArray> EncodeSettings(const LoggerSettings& settings, bool errorTrapping);
void ApplyDefaultSettings(LoggerSettings& settings, RatingState& rating);
QString FileTitle(const QString& path);
void AddRecentFile(std::array<QString, 4>& recent, const QString& path);
bool SaveSetupFile(const QString& path, const LoggerSettings& settings, bool errorTrapping);
bool LoadSetupFile(const QString& path, LoggerSettings& settings, RatingState& rating, bool errorTrapping);
