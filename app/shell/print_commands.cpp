#include "shell/print_commands.h"

#include "core/error.h"
#include "core/image.h"
#include "settings/preferences.h"
#include "shell/picture_image.h"

#include <QDir>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace print_commands {
namespace {

constexpr int kPrintAreaTooSmall = 64;
constexpr int kPrinterNotReady = 94;

PdfAsker& pdfAsker()
{
    static PdfAsker asker;
    return asker;
}

std::optional<QString> askPdf(QWidget* parent, const QString& suggested)
{
    if (pdfAsker())
        return pdfAsker()(parent, suggested);
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Print to PDF"), suggested,
                                                      QStringLiteral("PDF (*.pdf)"), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return std::nullopt;
    return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".pdf");
}

} // namespace

QPrinter& printer()
{
    static QPrinter shared(QPrinter::HighResolution);
    return shared;
}

int printPicture(QPrinter& printer, const mv::Image& image, const QString& title)
{
    if (!mv::is_picture_type(image.type) || image.empty())
        return mv::kIllegalImageType;
    const QImage picture = picture_to_qimage(image);
    if (picture.isNull())
        return mv::kOutOfMemory;
    printer.setDocName(title);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    if (page.width() < 1 || page.height() < 1)
        return kPrintAreaTooSmall;
    QPainter painter;
    if (!painter.begin(&printer))
        return kPrinterNotReady;
    // The size the picture's resolution gives, in printer pixels, held to the page.
    const double dpi = image.resolution > 0 ? image.resolution : mv::preferences().default_resolution;
    QSizeF size(image.width * printer.resolution() / dpi, image.height * printer.resolution() / dpi);
    if (size.width() > page.width() || size.height() > page.height())
        size.scale(page.size(), Qt::KeepAspectRatio);
    const QRectF target(QPointF((page.width() - size.width()) / 2, (page.height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    painter.end();
    return mv::kOk;
}

int print(QWidget* parent, const mv::Image& image, const QString& title)
{
    QPrinter& p = printer();
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        QString base = title;
        base.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
        const std::optional<QString> path = askPdf(parent, QDir::home().filePath(base + QStringLiteral(".pdf")));
        if (!path)
            return mv::kAborted;
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(*path);
        const int err = printPicture(p, image, title);
        p.setOutputFileName(QString());
        return err;
    }
    p.setOutputFormat(QPrinter::NativeFormat);
    QPrintDialog dialog(&p, parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    if (dialog.exec() != QDialog::Accepted)
        return mv::kAborted;
    return printPicture(p, image, title);
}

void printSetup(QWidget* parent)
{
    QPageSetupDialog dialog(&printer(), parent);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.exec();
}

void setPdfAsker(PdfAsker asker)
{
    pdfAsker() = std::move(asker);
}

} // namespace print_commands
