#pragma once
#include "ui/print/ReportSink.h"
#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;

namespace report {

struct Heading {
    QString title;       // the report's name
    QStringList details; // smaller lines under it: firm, year, date printed, fields
};

// A report set on pages: the heading and the column captions on every page, "Page n of m" at the
// foot, totals bold and ruled off. Columns wider than the page go on further pages with the first
// column (the row headings) repeated; the pages of one run of lines follow one another across
// before the next run. Holds one page of lines at a time.
class PageSink : public Sink {
public:
    // Counts the pages, and measures the columns that have no width of their own.
    PageSink(QPagedPaintDevice &device, const Heading &heading);
    // Paints the same lines as `counted` counted, on the pages it laid out.
    PageSink(QPagedPaintDevice &device, const Heading &heading, QPainter &painter, const PageSink &counted);
    void begin(const QVector<Column> &columns) override;
    void line(const Line &line) override;
    void end() override;
    int pages() const { return pages_; }

private:
    void layOutBands();
    void flush();
    void paintPage(const QVector<int> &band);
    void paintLine(const Line &line, const QVector<int> &band, double y);
    double cellX(const QVector<int> &band, int index) const;

    QPagedPaintDevice &device_;
    Heading heading_;
    QPainter *painter_ = nullptr;
    const PageSink *counted_ = nullptr;
    QFont body_, bold_, title_;
    QFontMetricsF bodyMetrics_, boldMetrics_;
    double dpi_, lineHeight_, titleHeight_, pad_, width_, height_;
    QVector<Column> columns_;
    QVector<double> widths_;     // per column, in device pixels
    QVector<QVector<int>> bands_; // the columns of each page across
    int linesPerPage_ = 1;
    QVector<Line> page_;
    qint64 lines_ = 0; // counted
    int pages_ = 0;    // counted, or painted so far
};

} // namespace report
