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
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
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

// Pages the print preview shows at most; printing prints them all.
constexpr int PreviewPages = 50;

void countPages(PageSink &counting, const Report &report, Progress &progress)
{
    Counted counted(counting, progress, QStringLiteral("Counting pages: %1 lines"));
    report.produce(counted);
}

void printPages(QPrinter &printer, const Report &report, Progress &progress, Outcome &outcome)
{
    PageSink counting(printer, report.heading);
    countPages(counting, report, progress);
    QPainter painter;
    if (!painter.begin(&printer))
        fail(QStringLiteral("The printer cannot be started."));
    PageSink pages(printer, report.heading, painter, counting);
    Counted counted(pages, progress, QStringLiteral("Printing: %1 lines"));
    try {
        report.produce(counted);
    } catch (...) {
        printer.abort();
        throw;
    }
    if (!painter.end())
        fail(QStringLiteral("The pages could not be written."));
    outcome.lines = counted.lines();
    outcome.pages = pages.pages();
}

// The first pages for the print preview, on the window's thread.
class FirstPages : public Sink {
public:
    explicit FirstPages(PageSink &pages) : pages_(pages) {}
    void begin(const QVector<Column> &columns) override { pages_.begin(columns); }
    void line(const Line &line) override
    {
        if (pages_.pages() >= PreviewPages)
            throw Cancelled();
        pages_.line(line);
    }
    void end() override { pages_.end(); }

private:
    PageSink &pages_;
};

QString fileNameFor(const QString &title, const QString &suffix)
{
    QString name = title.trimmed();
    for (QChar &c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c < QLatin1Char(' '))
            c = QLatin1Char('_');
    return (name.isEmpty() ? QStringLiteral("Report") : name) + QLatin1Char('.') + suffix;
}

} // namespace

Outcome writeReport(Target target, const QString &path, QPrinter *printer, const Report &report,
                    Progress &progress)
{
    Outcome outcome;
    try {
        std::optional<TempFile> file;
        if (target == Target::Csv || target == Target::Xlsx || target == Target::Pdf)
            file.emplace(path);
        const QString writing = QStringLiteral("Writing: %1 lines");
        switch (target) {
        case Target::Csv: {
            QFile out(file->path());
            if (!out.open(QIODevice::WriteOnly))
                fail(out.errorString());
            CsvSink csv(out);
            Counted counted(csv, progress, writing);
            report.produce(counted);
            if (!out.flush())
                fail(out.errorString());
            outcome.lines = counted.lines();
            break;
        }
        case Target::Xlsx: {
            XlsxSink book(file->path());
            Counted counted(book, progress, writing);
            report.produce(counted);
            outcome.lines = counted.lines();
            break;
        }
        case Target::Pdf:
            printer->setOutputFileName(file->path());
            [[fallthrough]];
        case Target::Printer:
            printPages(*printer, report, progress, outcome);
            break;
        case Target::Count:
            outcome.counted = std::make_shared<PageSink>(*printer, report.heading);
            countPages(*outcome.counted, report, progress);
            outcome.pages = outcome.counted->pages();
            break;
        }
        if (file)
            file->commit();
    } catch (const Cancelled &) {
        outcome.cancelled = true;
    } catch (const std::exception &e) {
        // An interrupted query fails with an error of its own.
        outcome.cancelled = progress.cancelled;
        if (!outcome.cancelled)
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
    if (button == busy_ && !progress_->cancelled) {
        progress_->cancelled = true;
        if (report_.interrupt)
            report_.interrupt();
        status_->setText(QStringLiteral("Cancelling..."));
    }
    return true;
}

void ExportRunner::print(QPushButton *button, const Report &report)
{
    if (cancelled(button))
        return;
    start(button, Target::Count, QString(), std::make_shared<QPrinter>(QPrinter::HighResolution), report);
}

void ExportRunner::savePdf(QPushButton *button, const Report &report)
{
    if (cancelled(button))
        return;
    const QString path = app::SaveAsName(status_->window(), QStringLiteral("Save as PDF"),
                                         fileNameFor(report.heading.title, "pdf"), {QStringLiteral("PDF (*.pdf)")});
    if (path.isEmpty())
        return;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setDocName(report.heading.title);
    start(button, Target::Pdf, path, printer, report);
}

void ExportRunner::exportFile(QPushButton *button, const Report &report)
{
    if (cancelled(button))
        return;
    const QString path = app::SaveAsName(status_->window(), QStringLiteral("Export"),
                                         fileNameFor(report.heading.title, "csv"),
                                         {QStringLiteral("CSV (*.csv)"), QStringLiteral("Excel workbook (*.xlsx)")});
    if (path.isEmpty())
        return;
    const bool book = QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
    start(button, book ? Target::Xlsx : Target::Csv, path, nullptr, report);
}

void ExportRunner::start(QPushButton *button, Target target, const QString &path, std::shared_ptr<QPrinter> printer,
                         const Report &report)
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
    target_ = target;
    path_ = path;
    printer_ = std::move(printer);
    report_ = report;
    busy_ = button;
    caption_ = button->text();
    for (QPushButton *b : std::as_const(buttons_))
        b->setEnabled(b == button);
    button->setText(QStringLiteral("Cancel"));
    status_->setText(target == Target::Count ? QStringLiteral("Counting pages...") : QStringLiteral("Writing..."));
    worker_ = std::thread([this, progress, target, path, printer = printer_, report] {
        const Outcome outcome = writeReport(target, path, printer.get(), report, *progress);
        QMetaObject::invokeMethod(
            this, [this, progress, outcome] { finished(progress, outcome); }, Qt::QueuedConnection);
    });
}

void ExportRunner::finished(const std::shared_ptr<Progress> &progress, const Outcome &outcome)
{
    if (progress != progress_)
        return; // stopped meanwhile
    QPushButton *button = busy_;
    const Target target = target_;
    const std::shared_ptr<QPrinter> printer = printer_;
    const Report report = report_;
    // Done, not cancelled: the report's producer serves the print preview and the print next.
    release();
    const bool printing = target == Target::Printer || target == Target::Count;
    const QString name = QFileInfo(path_).fileName();
    if (outcome.cancelled)
        status_->setText(printing ? QStringLiteral("Printing cancelled.")
                                  : QStringLiteral("Export cancelled; no file was written."));
    else if (!outcome.error.isEmpty()) {
        status_->setText(printing ? QStringLiteral("Printing failed.") : QStringLiteral("Export failed."));
        app::ErrorBox(outcome.error);
    } else if (target == Target::Count) {
        status_->clear();
        showPreview(button, printer, report, outcome.counted);
    } else if (target == Target::Printer)
        status_->setText(QStringLiteral("%1 pages sent to the printer.").arg(outcome.pages));
    else if (target == Target::Pdf)
        status_->setText(QStringLiteral("%1 pages saved to %2").arg(outcome.pages).arg(name));
    else
        status_->setText(QStringLiteral("%1 lines exported to %2").arg(english.toString(outcome.lines), name));
}

// The preview paints on the window's thread, so it shows the first pages only; printing from it
// hands the printer's settings to a print off the window's thread.
void ExportRunner::showPreview(QPushButton *button, const std::shared_ptr<QPrinter> &printer, const Report &report,
                               std::shared_ptr<PageSink> counted)
{
    QPrintPreviewDialog dialog(printer.get(), status_->window());
    bool print = false;
    QPageLayout countedLayout = printer->pageLayout();
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter *p) {
        // While the preview paints, the printer paints into pictures.
        if (p->paintEngine()->type() != QPaintEngine::Picture) {
            print = true;
            return;
        }
        try {
            if (!p->pageLayout().isEquivalentTo(countedLayout)) {
                // Other paper: counted again, here, as the user waits for the preview anyway.
                Progress none;
                counted = std::make_shared<PageSink>(*p, report.heading);
                countPages(*counted, report, none);
                countedLayout = p->pageLayout();
            }
            QPainter painter(p);
            PageSink sink(*p, report.heading, painter, *counted);
            FirstPages first(sink);
            report.produce(first);
        } catch (const Cancelled &) {
        } catch (const std::exception &e) {
            app::ErrorBox(QString::fromStdString(e.what()));
        }
    });
    dialog.exec();
    if (print)
        start(button, Target::Printer, QString(), printer, report);
}

void ExportRunner::stop()
{
    if (progress_) {
        progress_->cancelled = true;
        if (report_.interrupt)
            report_.interrupt();
    }
    release();
}

void ExportRunner::release()
{
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
    report_ = {};
}

} // namespace report
