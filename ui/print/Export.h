#pragma once
#include "ui/print/PageSink.h"
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QLabel;
class QPrinter;
class QPushButton;

namespace report {

// The report's lines, made as often as asked: a printed report is made twice, once to count
// its pages. Runs on a worker thread, or on the window's for the print preview.
using Producer = std::function<void(Sink &)>;

// What a window hands over to print or export: the heading, the lines, and how to stop a long
// query at once (called from the window's thread; the producer may then throw anything).
struct Report {
    Heading heading;
    Producer produce;
    std::function<void()> interrupt;
};

// Count: the pages of a printout, for the print preview.
enum class Target { Csv, Xlsx, Pdf, Printer, Count };

// Thrown through the producer when the user cancels.
struct Cancelled {};

struct Progress {
    std::atomic<bool> cancelled{false};
    std::function<void(const QString &)> report; // how far it got, every few thousand lines
};

struct Outcome {
    qint64 lines = 0;
    int pages = 0;
    std::shared_ptr<PageSink> counted; // Count: the pages as laid out
    bool cancelled = false;
    QString error;
};

// A printed report's heading: its name, then the firm, the year and today's date, then `details`.
Heading headingFor(const QString &title, const QStringList &details = {});

// Writes the report to `path` (Csv, Xlsx, Pdf through `printer`) or to the printer. A file is
// written beside its final name and takes that name only when whole, so a cancelled or failed
// export leaves no file behind and an older file as it was.
Outcome writeReport(Target target, const QString &path, QPrinter *printer, const Report &report,
                    Progress &progress);

// Print, PDF and Export of a preview window: asks for the printer or the file, then writes off
// the window's thread. The button pressed reads "Cancel" meanwhile; the label tells the progress.
// Print counts the pages first, then shows the print preview; printing from it runs off the
// window's thread too.
class ExportRunner : public QObject {
    Q_OBJECT
public:
    // Lives as long as the label; `buttons` are disabled while another one's export runs.
    ExportRunner(QLabel *status, QList<QPushButton *> buttons);
    ~ExportRunner() override;

    // Each returns at once; pressed while its export runs, the button cancels it.
    void print(QPushButton *button, const Report &report);
    void savePdf(QPushButton *button, const Report &report);
    void exportFile(QPushButton *button, const Report &report);
    // Cancels a running export and waits for it.
    void stop();
    bool running() const { return progress_ != nullptr; }

private:
    bool cancelled(QPushButton *button);
    void start(QPushButton *button, Target target, const QString &path, std::shared_ptr<QPrinter> printer,
               const Report &report);
    void finished(const std::shared_ptr<Progress> &progress, const Outcome &outcome);
    // Waits for the worker and gives the buttons back.
    void release();
    void showPreview(QPushButton *button, const std::shared_ptr<QPrinter> &printer, const Report &report,
                     std::shared_ptr<PageSink> counted);

    QLabel *status_;
    QList<QPushButton *> buttons_;
    QPushButton *busy_ = nullptr;
    QString caption_; // of the busy button
    std::shared_ptr<Progress> progress_; // of the export running now
    Target target_ = Target::Csv;
    QString path_;
    std::shared_ptr<QPrinter> printer_;
    Report report_;
    std::thread worker_;
};

} // namespace report
