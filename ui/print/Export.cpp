#include "ui/print/Export.h"
#include "app/Messages.h"
#include "app/Module1.h"
#include "app/SaveAs.h"
#include "ui/print/FileSinks.h"
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace report {

namespace {

const QLocale english(QLocale::English);

[[noreturn]] void fail(const QString &text)
{
    throw std::runtime_error(text.toStdString());
}

// Passes the lines on, counting them; stops the producer when the user cancelled.
class Counted : public Sink {
public:
    Counted(Sink &inner, Progress &progress, const QString &doing) : inner_(inner), progress_(progress), doing_(doing) {}
    void begin(const QVector<Column> &columns) override
    {
        if (progress_.cancelled)
            throw Cancelled();
        inner_.begin(columns);
    }
    void line(const Line &line) override
    {
        if (progress_.cancelled)
            throw Cancelled();
        inner_.line(line);
        if (++lines_ % 8192 == 0 && progress_.report)
            progress_.report(doing_.arg(english.toString(lines_)));
    }
    void end() override { inner_.end(); }
    qint64 lines() const { return lines_; }

private:
    Sink &inner_;
    Progress &progress_;
    QString doing_;
    qint64 lines_ = 0;
};

// A hidden file beside the final one; it replaces that one in one step when whole and is removed
// otherwise.
class TempFile {
public:
    explicit TempFile(const QString &path) : final_(path)
    {
        const QFileInfo info(path);
        QTemporaryFile file(info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".XXXXXX")));
        file.setAutoRemove(false);
        if (!file.open())
            fail(QStringLiteral("Cannot write in %1: %2").arg(QDir::toNativeSeparators(info.absolutePath()),
                                                              file.errorString()));
        path_ = file.fileName();
    }
    ~TempFile()
    {
        if (!committed_)
            QFile::remove(path_);
    }
    const QString &path() const { return path_; }
    void commit()
    {
        QFile::setPermissions(path_, QFile::exists(final_) ? QFile::permissions(final_)
                                                           : QFile::ReadOwner | QFile::WriteOwner
                                                                 | QFile::ReadGroup | QFile::ReadOther);
        if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(final_).constData()) != 0)
            fail(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(final_),
                                                           QString::fromLocal8Bit(std::strerror(errno))));
        committed_ = true;
    }

private:
    QString final_, path_;
    bool committed_ = false;
};

void printPages(QPrinter &printer, const Heading &heading, const Producer &produce, Progress &progress,
                Outcome &outcome)
{
    PageSink counting(printer, heading);
    Counted first(counting, progress, QStringLiteral("Counting pages: %1 lines"));
    produce(first);
    QPainter painter;
    if (!painter.begin(&printer))
        fail(QStringLiteral("The printer cannot be started."));
    PageSink pages(printer, heading, &painter, counting.pages());
    Counted second(pages, progress, QStringLiteral("Printing: %1 lines"));
    try {
        produce(second);
    } catch (...) {
        printer.abort();
        throw;
    }
    if (!painter.end())
        fail(QStringLiteral("The pages could not be written."));
    outcome.lines = second.lines();
    outcome.pages = pages.pages();
}

QString fileNameFor(const QString &title, const QString &suffix)
{
    QString name = title.trimmed();
    for (QChar &c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c < QLatin1Char(' '))
            c = QLatin1Char('_');
    return (name.isEmpty() ? QStringLiteral("Report") : name) + QLatin1Char('.') + suffix;
}

} // namespace

Outcome writeReport(Target target, const QString &path, QPrinter *printer, const Heading &heading,
                    const Producer &produce, Progress &progress)
{
    Outcome outcome;
    try {
        std::optional<TempFile> file;
        if (target != Target::Printer)
            file.emplace(path);
        const QString writing = QStringLiteral("Writing: %1 lines");
        switch (target) {
        case Target::Csv: {
            QFile out(file->path());
            if (!out.open(QIODevice::WriteOnly))
                fail(out.errorString());
            CsvSink csv(out);
            Counted counted(csv, progress, writing);
            produce(counted);
            if (!out.flush())
                fail(out.errorString());
            outcome.lines = counted.lines();
            break;
        }
        case Target::Xlsx: {
            XlsxSink book(file->path());
            Counted counted(book, progress, writing);
            produce(counted);
            outcome.lines = counted.lines();
            break;
        }
        case Target::Pdf:
            printer->setOutputFileName(file->path());
            [[fallthrough]];
        case Target::Printer:
            printPages(*printer, heading, produce, progress, outcome);
            break;
        }
        if (file)
            file->commit();
    } catch (const Cancelled &) {
        outcome.cancelled = true;
    } catch (const std::exception &e) {
        outcome.error = QString::fromStdString(e.what());
    }
    return outcome;
}

Heading headingFor(const QString &title, const QStringList &details)
{
    const app::Settings &s = app::settings();
    return {title, QStringList{QStringLiteral("Firm %1, year %2, printed %3")
                                   .arg(s.FirmNo)
                                   .arg(s.YearNo)
                                   .arg(english.toString(QDate::currentDate(), QStringLiteral("d MMMM yyyy")))}
                       + details};
}

ExportRunner::ExportRunner(QLabel *status, QList<QPushButton *> buttons)
    : QObject(status), status_(status), buttons_(std::move(buttons))
{
}

ExportRunner::~ExportRunner()
{
    stop();
}

bool ExportRunner::cancelled(QPushButton *button)
{
    if (!progress_)
        return false;
    if (button == busy_) {
        progress_->cancelled = true;
        status_->setText(QStringLiteral("Cancelling..."));
    }
    return true;
}

void ExportRunner::print(QPushButton *button, const Heading &heading, const Producer &produce)
{
    if (cancelled(button))
        return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), status_->window());
    if (dialog.exec() == QDialog::Accepted)
        start(button, Target::Printer, QString(), std::move(printer), heading, produce);
}

void ExportRunner::savePdf(QPushButton *button, const Heading &heading, const Producer &produce)
{
    if (cancelled(button))
        return;
    const QString path = app::SaveAsName(status_->window(), QStringLiteral("Save as PDF"), fileNameFor(heading.title, "pdf"),
                                         {QStringLiteral("PDF (*.pdf)")});
    if (path.isEmpty())
        return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setDocName(heading.title);
    start(button, Target::Pdf, path, std::move(printer), heading, produce);
}

void ExportRunner::exportFile(QPushButton *button, const Heading &heading, const Producer &produce)
{
    if (cancelled(button))
        return;
    const QString path = app::SaveAsName(status_->window(), QStringLiteral("Export"), fileNameFor(heading.title, "csv"),
                                         {QStringLiteral("CSV (*.csv)"), QStringLiteral("Excel workbook (*.xlsx)")});
    if (path.isEmpty())
        return;
    const bool book = QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
    start(button, book ? Target::Xlsx : Target::Csv, path, nullptr, heading, produce);
}

void ExportRunner::start(QPushButton *button, Target target, const QString &path, std::unique_ptr<QPrinter> printer,
                         const Heading &heading, const Producer &produce)
{
    auto progress = std::make_shared<Progress>();
    Progress *current = progress.get();
    progress->report = [this, current](const QString &text) {
        QMetaObject::invokeMethod(
            this, [this, current, text] {
                if (progress_.get() == current && !current->cancelled)
                    status_->setText(text);
            },
            Qt::QueuedConnection);
    };
    progress_ = progress;
    printer_ = std::move(printer);
    busy_ = button;
    caption_ = button->text();
    for (QPushButton *b : std::as_const(buttons_))
        b->setEnabled(b == button);
    button->setText(QStringLiteral("Cancel"));
    status_->setText(QStringLiteral("Writing..."));
    worker_ = std::thread([this, progress, printer = printer_, target, path, heading, produce] {
        const Outcome outcome = writeReport(target, path, printer.get(), heading, produce, *progress);
        QMetaObject::invokeMethod(
            this, [this, progress, target, path, outcome] { finished(progress, target, path, outcome); },
            Qt::QueuedConnection);
    });
}

void ExportRunner::finished(const std::shared_ptr<Progress> &progress, Target target, const QString &path,
                            const Outcome &outcome)
{
    if (progress != progress_)
        return; // stopped meanwhile
    stop();
    const QString name = QFileInfo(path).fileName();
    if (outcome.cancelled)
        status_->setText(target == Target::Printer ? QStringLiteral("Printing cancelled.")
                                                   : QStringLiteral("Export cancelled; no file was written."));
    else if (!outcome.error.isEmpty()) {
        status_->setText(target == Target::Printer ? QStringLiteral("Printing failed.")
                                                   : QStringLiteral("Export failed."));
        app::ErrorBox(outcome.error);
    } else if (target == Target::Printer)
        status_->setText(QStringLiteral("%1 pages sent to the printer.").arg(outcome.pages));
    else if (target == Target::Pdf)
        status_->setText(QStringLiteral("%1 pages saved to %2").arg(outcome.pages).arg(name));
    else
        status_->setText(QStringLiteral("%1 lines exported to %2").arg(english.toString(outcome.lines), name));
}

void ExportRunner::stop()
{
    if (progress_)
        progress_->cancelled = true;
    if (worker_.joinable())
        worker_.join();
    if (!busy_)
        return;
    busy_->setText(caption_);
    for (QPushButton *b : std::as_const(buttons_))
        b->setEnabled(true);
    busy_ = nullptr;
    progress_.reset();
    printer_.reset();
}

} // namespace report
