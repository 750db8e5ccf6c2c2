#include "flow/RatingCatalogue.h"

#include "core/ErrorTrap.h"
#include "core/NumberText.h"
#include "config/Rating.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cmath>
#include <functional>
#include <optional>

namespace {

const QString NoRatingName = QStringLiteral("- None -");

// Reads a text file line by line; false when it cannot be opened or a read
// fails on the way. Lines come without their line ending; a file that is not
// valid UTF-8 is read as Latin-1.
bool ForEachLine(const QString& path, const std::function<void(const QString&)>& onLine)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    while (!file.atEnd()) {
        QByteArray bytes = file.readLine();
        if (file.error() != QFileDevice::NoError) {
            return false;
        }
        while (bytes.endsWith('\n') || bytes.endsWith('\r')) {
            bytes.chop(1);
        }
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString line = utf8(bytes);
        if (utf8.hasError()) {
            line = QString::fromLatin1(bytes);
        }
        onLine(line);
    }
    return file.error() == QFileDevice::NoError;
}

// A token that is a number: a sign, digits with an optional point and an
// optional exponent. A number too large for a double is a conversion fault.
struct NumberToken {
    bool Numeric = false;
    std::optional<double> Value;
};

NumberToken ReadNumberToken(const QString& token)
{
    if (!IsNumericText(token)) {
        return {};
    }
    const double value = token.toDouble();
    if (!std::isfinite(value)) {
        return {true, std::nullopt};
    }
    return {true, value};
}

QStringList BlankSeparatedTokens(const QString& text)
{
    return ReplaceSeparators(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The points of a flow table file, or nothing on a read or conversion fault.
std::optional<std::vector<RatingPoint>> ReadFlowTableFile(const QString& path)
{
    std::vector<RatingPoint> points;
    bool conversionFault = false;
    const bool read = ForEachLine(path, [&](const QString& line) {
        if (conversionFault || static_cast<int>(points.size()) >= MaxFlowTablePoints) {
            return;
        }
        const QStringList tokens = BlankSeparatedTokens(line);
        std::vector<double> numbers;
        for (const QString& token : tokens) {
            const NumberToken number = ReadNumberToken(token);
            if (!number.Numeric) {
                return; // headings and comments
            }
            if (!number.Value) {
                conversionFault = true;
                return;
            }
            numbers.push_back(*number.Value);
        }
        if (numbers.size() == 2) {
            points.push_back({numbers[0], numbers[1]});
        }
    });
    if (!read || conversionFault) {
        return std::nullopt;
    }
    return points;
}

// The text between the first double quote at or after `from` and the next
// one, trimmed, with the index of the closing quote; nothing when there is
// no opening quote or the quotes enclose nothing.
struct QuotedText {
    QString Text;
    qsizetype ClosingQuote = -1;
};

std::optional<QuotedText> ReadQuoted(const QString& line, qsizetype from)
{
    const qsizetype open = line.indexOf(QLatin1Char('"'), from);
    if (open < 0) {
        return std::nullopt;
    }
    const qsizetype close = line.indexOf(QLatin1Char('"'), open + 1);
    if (close < open + 2) {
        return std::nullopt; // no closing quote, or an empty text
    }
    return QuotedText{line.mid(open + 1, close - open - 1).trimmed(), close};
}

std::optional<RatingEntry> ParseCatalogueLine(const QString& line, const QString& appFolder, bool errorTrapping)
{
    if (!line.startsWith(QLatin1Char('['))) {
        return std::nullopt;
    }
    const qsizetype tagEnd = line.indexOf(QLatin1Char(']'), 1);
    if (tagEnd < 2) {
        return std::nullopt; // no closing bracket, or nothing between the brackets
    }
    RatingEntry entry;
    entry.Tag = line.mid(1, tagEnd - 1).trimmed().toUpper().left(8);
    const std::optional<QuotedText> name = ReadQuoted(line, tagEnd + 1);
    if (!name) {
        return std::nullopt;
    }
    entry.Name = name->Text;
    qsizetype kindAt = name->ClosingQuote + 1;
    while (kindAt < line.size() && line[kindAt] != u'E' && line[kindAt] != u'F') {
        ++kindAt;
    }
    if (kindAt >= line.size()) {
        return std::nullopt;
    }
    if (line[kindAt] == u'E') {
        std::vector<double> numbers;
        for (const QString& token : BlankSeparatedTokens(line.mid(kindAt + 1))) {
            const NumberToken number = ReadNumberToken(token);
            if (number.Numeric) {
                if (!number.Value) {
                    return std::nullopt; // a number out of range
                }
                numbers.push_back(*number.Value);
            }
            if (numbers.size() == 3) {
                break;
            }
        }
        if (numbers.size() < 3) {
            return std::nullopt;
        }
        entry.Kind = EquationRating;
        entry.Offset = numbers[0];
        entry.Exponent = numbers[1];
        entry.Multiplier = numbers[2];
        return entry;
    }
    const std::optional<QuotedText> tableFile = ReadQuoted(line, kindAt + 1);
    if (!tableFile) {
        return std::nullopt;
    }
    RatingState scratch;
    if (!LoadFlowTable(scratch, tableFile->Text, appFolder, errorTrapping)) {
        return std::nullopt;
    }
    entry.Kind = TableRating;
    entry.TableFile = tableFile->Text;
    return entry;
}

} // namespace

QString ReplaceSeparators(QString text)
{
    text.replace(QLatin1Char(','), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

QString ResolveTablePath(const QString& appFolder, const QString& path, QChar separator)
{
    QString p = path;
    if (separator == u'/') {
        p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    }
    const QString doubleSeparator = QString(2, separator);
    if (p.size() > 2 && (p.startsWith(doubleSeparator) || p[1] == u':')) {
        return p;
    }
    const QString dotSeparator = QStringLiteral(".") + separator;
    if (p.startsWith(dotSeparator)) {
        return appFolder + p.mid(1);
    }
    if (p.startsWith(separator)) {
        // A leading "\" on Windows means the root of the program's drive,
        // taken as the program's folder; a leading "/" is an absolute path.
        return separator == u'/' ? p : appFolder + p;
    }
    return appFolder + separator + p;
}

bool LoadFlowTable(RatingState& rating, const QString& path, const QString& appFolder, bool errorTrapping)
{
    ClearFlowTable(rating);
    if (path.isEmpty()) {
        return false;
    }
    return RunTrapped(
        errorTrapping,
        [&] {
            const QString resolved = ResolveTablePath(appFolder, path);
            if (!QFileInfo(resolved).isFile()) {
                return false;
            }
            const std::optional<std::vector<RatingPoint>> points = ReadFlowTableFile(resolved);
            if (!points) {
                return false;
            }
            rating.FlowTable.insert(rating.FlowTable.end(), points->begin(), points->end());
            return true;
        },
        [&] {
            ClearFlowTable(rating);
            return false;
        });
}

void LoadRatingCatalogue(RatingCatalogue& catalogue, const QString& path, const QString& appFolder,
                         bool errorTrapping)
{
    catalogue.clear();
    if (!QFileInfo(path).isFile()) {
        return;
    }
    // A read fault part way keeps the entries read so far.
    RunTrapped(
        errorTrapping,
        [&] {
            ForEachLine(path, [&](const QString& line) {
                if (std::optional<RatingEntry> entry = ParseCatalogueLine(line, appFolder, errorTrapping)) {
                    catalogue.push_back(std::move(*entry));
                }
            });
        },
        [] {});
}

void LoadRatingCatalogues(RatingCatalogues& catalogues, const QString& folder, bool errorTrapping)
{
    catalogues.Folder = folder;
    LoadRatingCatalogue(catalogues.FlumeCatalogue, folder + QDir::separator() + QStringLiteral("flumes.lst"), folder,
                        errorTrapping);
    LoadRatingCatalogue(catalogues.WeirCatalogue, folder + QDir::separator() + QStringLiteral("weirs.lst"), folder,
                        errorTrapping);
}

bool SelectRating(RatingState& rating, const QString& tag, const RatingCatalogue& catalogue,
                  const QString& catalogueFolder, bool errorTrapping)
{
    rating.RatingOffset = 0.0;
    rating.RatingExponent = 0.0;
    rating.RatingMultiplier = 0.0;
    // An unknown tag names no device either: the name of the rating selected
    // before must not stay on show.
    rating.RatingName = NoRatingName;
    if (tag.isEmpty()) {
        return false;
    }
    bool selected = false;
    for (const RatingEntry& entry : catalogue) {
        if (entry.Tag != tag) {
            continue;
        }
        rating.RatingName = entry.Name;
        if (entry.Kind == TableRating) {
            return LoadFlowTable(rating, entry.TableFile, catalogueFolder, errorTrapping);
        }
        rating.RatingOffset = entry.Offset;
        rating.RatingExponent = entry.Exponent;
        rating.RatingMultiplier = entry.Multiplier;
        selected = true;
    }
    return selected;
}
