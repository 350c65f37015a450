#include "app/typednumber.h"

#include <cmath>
#include <limits>
#include <QRegularExpression>
#include <QString>

namespace tarv {

std::optional<double> TypedNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (ok)
        return std::isnan(number) ? std::nullopt : std::optional(number);
    static const QRegularExpression infinity(QStringLiteral("^([+-]?)inf(inity)?$"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (const auto match = infinity.match(trimmed); match.hasMatch()) {
        constexpr double kInfinity = std::numeric_limits<double>::infinity();
        return match.captured(1) == QLatin1String("-") ? -kInfinity : kInfinity;
    }
    // A well-formed number that toDouble refused is out of double's range; it
    // then gives an infinity for one too large and 0 for one too small.
    static const QRegularExpression outOfRange(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (outOfRange.match(trimmed).hasMatch())
        return number;
    return std::nullopt;
}

} // namespace tarv
