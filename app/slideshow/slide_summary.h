// Print Summary: every slide's thumbnail with its number, caption and duration, laid out in a
// grid on as many pages as needed, on a printer or, when none is installed, in a PDF file.
#pragma once

#include <QString>

class QPagedPaintDevice;
class QWidget;
namespace mv {
struct SlideShow;
}

// Lays the summary out on `device` (a printer or a PDF writer); returns the pages drawn.
int paint_slide_summary(const mv::SlideShow& show, QPagedPaintDevice& device);

// Writes the summary to a PDF file; false when the file cannot be written.
bool write_slide_summary_pdf(const mv::SlideShow& show, const QString& path);

// The Print Summary button: the print dialog "Print Slide Show Summary" when a printer is
// installed, else a save dialog for a PDF file. 0, 11 (cancelled) or a code already shown.
int print_slide_summary(const mv::SlideShow& show, QWidget* parent);
