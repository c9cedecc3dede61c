#include "app/SaveAs.h"
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace app {

namespace {

SaveAsSeam seam;
QString lastFolder; // where the user saved last in this run

QString suffixOf(const QString &filter)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

} // namespace

QString SaveAsName(QWidget *parent, const QString &caption, const QString &suggestedName,
                   const QStringList &filters)
{
    if (seam)
        return seam(caption, suggestedName, filters);
    const QString folder = lastFolder.isEmpty() ? QDir::homePath() : lastFolder;
    QString chosen = filters.value(0);
    QString path = QFileDialog::getSaveFileName(parent, caption, QDir(folder).filePath(suggestedName),
                                                filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return path;
    const QString suffix = suffixOf(chosen);
    if (QFileInfo(path).suffix().isEmpty() && !suffix.isEmpty())
        path += QLatin1Char('.') + suffix;
    lastFolder = QFileInfo(path).absolutePath();
    return path;
}

void setSaveAs(SaveAsSeam s)
{
    seam = std::move(s);
}

} // namespace app
