#include "tools/FirmYear.h"
#include <QRegularExpression>

namespace tools {

std::optional<FirmYear> parseFirmYear(const QString &text, QString &error)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\s*,\\s*(\\d+)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool firmOk = false, yearOk = false;
    const FirmYear result{match.captured(1).toInt(&firmOk), match.captured(2).toInt(&yearOk)};
    if (!firmOk || !yearOk || result.firm > 32767 || result.year > 32767) {
        error = QStringLiteral("Firm and year must be numbers from 0 to 32767");
        return std::nullopt;
    }
    return result;
}

} // namespace tools
