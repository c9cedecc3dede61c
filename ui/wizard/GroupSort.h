#pragma once
#include <QString>

// The word a grid shows for a stored one-letter setting code: "N" "No", "A" "Asc", "D" "Desc",
// "Y" "Yes", anything else "". Case counts.
QString RetGroupSort(const QString &chr1);
