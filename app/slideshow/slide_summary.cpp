#include "slideshow/slide_summary.h"

#include "core/error.h"
#include "formats/file_dialogs.h"
#include "slideshow/slide_picture.h"
#include "slideshow/slide_show.h"

#include <QFileDialog>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace {

constexpr int kColumns = 4;

QString durationText(const mv::SlideShow& show, const mv::Slide& slide)
{
    const int seconds = mv::slide_seconds(show, slide);
    QString text = slide.duration == 0 ? QStringLiteral("%1 sec (default)").arg(seconds)
                                       : QStringLiteral("%1 sec").arg(seconds);
    if (mv::slide_has_sound(slide))
        text += slide.loop ? QStringLiteral(", sound (loop)") : QStringLiteral(", sound");
    return text;
}

} // namespace

int paint_slide_summary(const mv::SlideShow& show, QPagedPaintDevice& device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    // Work in points (1/72 inch) over the printable area whatever the device resolution.
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Point);
    const double scale = device.logicalDpiX() / 72.0;
    painter.scale(scale, device.logicalDpiY() / 72.0);
    const double width = area.width();
    const double height = area.height();

    QFont titleFont(QStringLiteral("Sans Serif"), 16, QFont::Bold);
    QFont textFont(QStringLiteral("Sans Serif"), 8);
    QFont smallFont(QStringLiteral("Sans Serif"), 7);

    const double cellWidth = width / kColumns;
    const double thumbWidth = std::min(cellWidth - 12, 96 * 1.25);
    const double thumbHeight = thumbWidth * 64 / 96;
    const double cellHeight = thumbHeight + 48;
    const double headerHeight = 40;
    const int rowsPerPage = std::max(1, int((height - headerHeight) / cellHeight));
    const int perPage = rowsPerPage * kColumns;
    const int count = int(show.slides.size());
    const int pages = std::max(1, (count + perPage - 1) / perPage);

    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        painter.setPen(Qt::black);
        painter.setFont(titleFont);
        painter.drawText(QRectF(0, 0, width, 24), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Slide Show Summary"));
        painter.setFont(smallFont);
        long long total = 0;
        for (const mv::Slide& s : show.slides)
            total += mv::slide_seconds(show, s);
        painter.drawText(QRectF(0, 0, width, 24), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1 slides, %2 seconds - page %3 of %4")
                             .arg(count).arg(total).arg(page + 1).arg(pages));
        painter.drawLine(QPointF(0, 28), QPointF(width, 28));

        for (int k = 0; k < perPage; ++k) {
            const int i = page * perPage + k;
            if (i >= count)
                break;
            const mv::Slide& slide = show.slides[std::size_t(i)];
            const QRectF cell(k % kColumns * cellWidth, headerHeight + k / kColumns * cellHeight,
                              cellWidth, cellHeight);
            const QRectF frame(cell.left() + (cellWidth - thumbWidth) / 2, cell.top(), thumbWidth,
                               thumbHeight);
            const QImage thumb = slide_picture_to_qimage(slide.thumbnail);
            if (!thumb.isNull()) {
                const QSizeF fitted = QSizeF(thumb.size()).scaled(frame.size(), Qt::KeepAspectRatio);
                const QRectF target(frame.center().x() - fitted.width() / 2,
                                    frame.center().y() - fitted.height() / 2, fitted.width(),
                                    fitted.height());
                painter.drawImage(target, thumb);
            }
            painter.setPen(QColor(160, 160, 160));
            painter.drawRect(frame);
            painter.setPen(Qt::black);
            painter.setFont(textFont);
            const QString caption = QStringLiteral("%1. %2").arg(i + 1).arg(
                QString::fromStdString(slide.caption));
            const QRectF captionBox(cell.left() + 4, frame.bottom() + 3, cellWidth - 8, 26);
            painter.drawText(captionBox, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, caption);
            painter.setFont(smallFont);
            painter.drawText(QRectF(cell.left() + 4, captionBox.bottom(), cellWidth - 8, 12),
                             Qt::AlignHCenter | Qt::AlignTop, durationText(show, slide));
        }
    }
    painter.end();
    return pages;
}

bool write_slide_summary_pdf(const mv::SlideShow& show, const QString& path)
{
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Slide Show Summary"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
    return paint_slide_summary(show, writer) > 0;
}

int print_slide_summary(const mv::SlideShow& show, QWidget* parent)
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        QFileDialog dialog(parent, QStringLiteral("Print Slide Show Summary"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({QStringLiteral("PDF (*.pdf)")});
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        const QString start = file_dialogs::startDirectory();
        if (!start.isEmpty())
            dialog.setDirectory(start);
        dialog.selectFile(QStringLiteral("summary.pdf"));
        const bool accepted = dialog.exec() == QDialog::Accepted;
        file_dialogs::dialogEnded(dialog.directory().absolutePath());
        if (!accepted || dialog.selectedFiles().isEmpty())
            return mv::kAborted;
        if (!write_slide_summary_pdf(show, dialog.selectedFiles().first())) {
            mv::error_box(mv::kCannotCreateFile);
            return mv::kCannotCreateFile;
        }
        return 0;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Slide Show Summary"));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Slide Show Summary"));
    if (dialog.exec() != QDialog::Accepted)
        return mv::kAborted;
    if (paint_slide_summary(show, printer) == 0) {
        mv::message_dialog("Error", "The printer could not be started.", mv::kButtonsOk);
        return mv::kSlideShowShown;
    }
    return 0;
}
