#include "ui/print/PageSink.h"
#include "ui/print/FileSinks.h"
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <cmath>

namespace report {

namespace {

QFont font(int points, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

} // namespace

PageSink::PageSink(QPagedPaintDevice &device, const Heading &heading, QPainter *painter, int pageCount)
    : device_(device), heading_(heading), painter_(painter), pageCount_(pageCount), body_(font(9, false)),
      bold_(font(9, true)), title_(font(14, true))
{
    dpi_ = device.logicalDpiY();
    lineHeight_ = std::ceil(QFontMetricsF(bold_, &device).height() * 1.3);
    titleHeight_ = std::ceil(QFontMetricsF(title_, &device).height() * 1.3);
    pad_ = dpi_ / 24;
    width_ = device.width();
    height_ = device.height();
}

void PageSink::begin(const QVector<Column> &columns)
{
    columns_ = columns;
    const QFontMetricsF bold(bold_, &device_);
    widths_.clear();
    for (const Column &c : columns) {
        const double w = c.widthTwips > 0 ? c.widthTwips * dpi_ / 1440 : qMax(dpi_ / 2, bold.horizontalAdvance(c.caption) + 2 * pad_);
        widths_ << qMin(w, width_);
    }
    bands_.clear();
    QVector<int> band;
    double used = 0;
    for (int c = 0; c < columns.size(); ++c) {
        if (!band.isEmpty() && used + widths_[c] > width_) {
            bands_ << band;
            const bool repeat = widths_[0] + widths_[c] <= width_;
            band = repeat ? QVector<int>{0} : QVector<int>{};
            used = repeat ? widths_[0] : 0;
        }
        band << c;
        used += widths_[c];
    }
    bands_ << band;
    const double header = titleHeight_ + (heading_.details.size() + 1.75) * lineHeight_;
    linesPerPage_ = qMax(1, int((height_ - header - 1.5 * lineHeight_) / lineHeight_));
    page_.reserve(linesPerPage_);
}

void PageSink::line(const Line &line)
{
    page_ << line;
    if (page_.size() == linesPerPage_)
        flush();
}

void PageSink::end()
{
    if (!page_.isEmpty() || pages_ == 0)
        flush();
}

void PageSink::flush()
{
    for (const QVector<int> &band : std::as_const(bands_)) {
        if (painter_) {
            if (pages_ > 0)
                device_.newPage();
            paintPage(band);
        }
        ++pages_;
    }
    page_.clear();
}

double PageSink::cellX(const QVector<int> &band, int index) const
{
    double x = 0;
    for (int i = 0; i < index; ++i)
        x += widths_[band[i]];
    return x;
}

void PageSink::paintPage(const QVector<int> &band)
{
    QPainter &p = *painter_;
    p.setPen(QPen(Qt::black, dpi_ / 144));
    double y = 0;
    p.setFont(title_);
    p.drawText(QRectF(0, y, width_, titleHeight_), Qt::AlignLeft | Qt::AlignVCenter, heading_.title);
    y += titleHeight_;
    p.setFont(body_);
    for (const QString &detail : heading_.details) {
        p.drawText(QRectF(0, y, width_, lineHeight_), Qt::AlignLeft | Qt::AlignVCenter, detail);
        y += lineHeight_;
    }
    y += lineHeight_ / 2;
    p.setFont(bold_);
    const QFontMetricsF metrics(bold_, &device_);
    for (int i = 0; i < band.size(); ++i) {
        const Column &c = columns_[band[i]];
        const double w = widths_[band[i]] - 2 * pad_;
        p.drawText(QRectF(cellX(band, i) + pad_, y, w, lineHeight_), int(c.alignment) | Qt::AlignVCenter,
                   metrics.elidedText(c.caption, Qt::ElideRight, w));
    }
    const double right = cellX(band, band.size());
    y += lineHeight_;
    p.drawLine(QPointF(0, y), QPointF(right, y));
    y += lineHeight_ / 4;
    for (const Line &line : std::as_const(page_)) {
        paintLine(line, band, y);
        y += lineHeight_;
    }
    p.setFont(body_);
    p.drawText(QRectF(0, height_ - lineHeight_, width_, lineHeight_), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Page %1 of %2").arg(pages_ + 1).arg(pageCount_));
}

void PageSink::paintLine(const Line &line, const QVector<int> &band, double y)
{
    QPainter &p = *painter_;
    const bool plain = line.kind == Line::Data;
    p.setFont(plain ? body_ : bold_);
    const QFontMetricsF metrics(plain ? body_ : bold_, &device_);
    const double right = cellX(band, band.size());
    if (line.kind == Line::Group) {
        // A group's heading runs across the columns of its page.
        p.drawText(QRectF(pad_, y, right - 2 * pad_, lineHeight_), Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(line.values.value(0).toString(), Qt::ElideRight, right - 2 * pad_));
        return;
    }
    if (!plain) {
        p.drawLine(QPointF(0, y), QPointF(right, y));
        if (line.kind == Line::GrandTotal) {
            const double gap = dpi_ / 72;
            p.drawLine(QPointF(0, y + lineHeight_), QPointF(right, y + lineHeight_));
            p.drawLine(QPointF(0, y + lineHeight_ + gap), QPointF(right, y + lineHeight_ + gap));
        }
    }
    for (int i = 0; i < band.size(); ++i) {
        const Column &c = columns_[band[i]];
        const double w = widths_[band[i]] - 2 * pad_;
        p.drawText(QRectF(cellX(band, i) + pad_, y, w, lineHeight_), int(c.alignment) | Qt::AlignVCenter,
                   metrics.elidedText(shownText(line.values.value(band[i]), c), Qt::ElideRight, w));
    }
}

} // namespace report
