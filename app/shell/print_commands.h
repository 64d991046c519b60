// Print and Print Setup: the active picture on one page through the system's printers, or
// into a PDF file when no printer is installed.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace mv {
struct Image;
}

namespace print_commands {

// The printer shared by Print and Print Setup, keeping the page set up last.
QPrinter& printer();

// Draws the picture centred on the printer's page at the size its resolution gives (the
// default resolution when it has none), scaled down to the printable area when larger.
// 14 for a pseudo-image, 94 "Printer not ready" when the page cannot be opened, 64 "Print
// area too small (check margins)" when nothing of the page can be printed on.
int printPicture(QPrinter& printer, const mv::Image& image, const QString& title);

// Print: the print dialog when printers are installed, else a PDF file chosen in a save
// dialog titled "Print to PDF". 11 when cancelled, else printPicture's result.
int print(QWidget* parent, const mv::Image& image, const QString& title);

// Print Setup: the page setup dialog for the shared printer.
void printSetup(QWidget* parent);

// The PDF name question, replaceable for tests (an empty function restores the dialog).
using PdfAsker = std::function<std::optional<QString>(QWidget*, const QString& suggested)>;
void setPdfAsker(PdfAsker asker);

} // namespace print_commands
