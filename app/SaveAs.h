#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace app {

// Asks where to save a file: the platform's file dialog, or what a test installed in its place.
// Filters read like "CSV (*.csv)"; a name typed without a suffix gets the chosen filter's.
// Returns an empty text when the user cancelled.
QString SaveAsName(QWidget *parent, const QString &caption, const QString &suggestedName,
                   const QStringList &filters);

// The dialog's stand-in: gets the caption, the suggested name and the filters, returns the path.
using SaveAsSeam = std::function<QString(const QString &, const QString &, const QStringList &)>;
// nullptr restores the platform's dialog.
void setSaveAs(SaveAsSeam seam);

} // namespace app
