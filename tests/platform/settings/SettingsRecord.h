// The numbered records the settings fault tests save: each one tells its number and has its own length.
#pragma once

#include <QRegularExpression>
#include <QString>

#include <optional>

namespace robustness {

inline const QString kApp = QStringLiteral("Puzzle");
inline const QString kSection = QStringLiteral("SCORE");
inline const QString kRecordKey = QStringLiteral("NAME");

// Record n: its number, then filler whose length changes from one record to the next, so that
// a file holding parts of two records cannot pass for either.
inline QString Record(long n)
{
    return QStringLiteral("record %1 ").arg(n) + QStringLiteral("タイル").repeated(1 + int(n % 97) * 13);
}

// The number of a whole record, or nothing when `text` is not exactly one.
inline std::optional<long> RecordNumber(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^record (\\d+) "));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const long n = match.captured(1).toLong();
    return text == Record(n) ? std::optional<long>(n) : std::nullopt;
}

}  // namespace robustness
