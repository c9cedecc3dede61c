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

PageSink::PageSink(QPagedPaintDevice &device, const Heading &heading)
    : device_(device), heading_(heading), body_(font(9, false)), bold_(font(9, true)), title_(font(14, true)),
      bodyMetrics_(body_, &device), boldMetrics_(bold_, &device)
{
    dpi_ = device.logicalDpiY();
    lineHeight_ = std::ceil(boldMetrics_.height() * 1.3);
    titleHeight_ = std::ceil(QFontMetricsF(title_, &device).height() * 1.3);
    pad_ = dpi_ / 24;
    width_ = device.width();
    height_ = device.height();
}

PageSink::PageSink(QPagedPaintDevice &device, const Heading &heading, QPainter &painter, const PageSink &counted)
    : PageSink(device, heading)
{
    painter_ = &painter;
    counted_ = &counted;
}

void PageSink::begin(const QVector<Column> &columns)
{
    columns_ = columns;
    widths_.clear();
    for (const Column &c : columns)
        widths_ << (c.widthTwips > 0 ? qMin(c.widthTwips * dpi_ / 1440, width_)
                                     : qMax(dpi_ / 2, boldMetrics_.horizontalAdvance(c.caption) + 2 * pad_));
    if (counted_)
        widths_ = counted_->widths_;
    const double header = titleHeight_ + (heading_.details.size() + 1.75) * lineHeight_;
    linesPerPage_ = qMax(1, int((height_ - header - 1.5 * lineHeight_) / lineHeight_));
    if (painter_) {
        layOutBands();
        page_.reserve(linesPerPage_);
    }
}

void PageSink::line(const Line &line)
{
    if (painter_) {
        page_ << line;
        if (page_.size() == linesPerPage_)
            flush();
        return;
    }
    // A column without a width of its own gets the width of its widest text, up to a part of
    // the page.
    ++lines_;
    const QFontMetricsF &metrics = line.kind == Line::Data ? bodyMetrics_ : boldMetrics_;
    for (int c = 0; c < columns_.size(); ++c) {
        if (columns_[c].widthTwips > 0)
            continue;
        const QString text = shownText(line.values.value(c), columns_[c]);
        if (!text.isEmpty())
            widths_[c] = qMin(qMax(widths_[c], metrics.horizontalAdvance(text) + 2 * pad_), width_ * 0.4);
    }
}

void PageSink::end()
{
    if (painter_) {
        if (!page_.isEmpty() || pages_ == 0)
            flush();
        return;
    }
    layOutBands();
    pages_ = int(qMax<qint64>(1, (lines_ + linesPerPage_ - 1) / linesPerPage_) * bands_.size());
}

void PageSink::layOutBands()
{
    bands_.clear();
    QVector<int> band;
    double used = 0;
    for (int c = 0; c < columns_.size(); ++c) {
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
    for (int i = 0; i < band.size(); ++i) {
        const Column &c = columns_[band[i]];
        const double w = widths_[band[i]] - 2 * pad_;
        p.drawText(QRectF(cellX(band, i) + pad_, y, w, lineHeight_), int(c.alignment) | Qt::AlignVCenter,
                   boldMetrics_.elidedText(c.caption, Qt::ElideRight, w));
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
               QStringLiteral("Page %1 of %2").arg(pages_ + 1).arg(counted_->pages()));
}

void PageSink::paintLine(const Line &line, const QVector<int> &band, double y)
{
    QPainter &p = *painter_;
    const bool plain = line.kind == Line::Data;
    p.setFont(plain ? body_ : bold_);
    const QFontMetricsF &metrics = plain ? bodyMetrics_ : boldMetrics_;
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
    for (int i = 0; i < band.size();) {
        const Column &c = columns_[band[i]];
        // A total's label runs on over the empty cells after it.
        int span = i + 1;
        if (!plain && band[i] == 0)
            while (span < band.size() && shownText(line.values.value(band[span]), columns_[band[span]]).isEmpty())
                ++span;
        const double w = cellX(band, span) - cellX(band, i) - 2 * pad_;
        p.drawText(QRectF(cellX(band, i) + pad_, y, w, lineHeight_), int(c.alignment) | Qt::AlignVCenter,
                   metrics.elidedText(shownText(line.values.value(band[i]), c), Qt::ElideRight, w));
        i = span;
    }
}

} // namespace report
