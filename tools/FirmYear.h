#pragma once
#include <QString>
#include <optional>

// The tools' firm and year argument, "FIRM,YEAR" as in "5,2".
namespace tools {

struct FirmYear {
    int firm = 0;
    int year = 0;
};

// Blanks around either number are allowed. Empty when the text is no such pair; `error` then
// names the fault when the numbers are too large, and is left empty otherwise (the usage tells).
std::optional<FirmYear> parseFirmYear(const QString &text, QString &error);

} // namespace tools
