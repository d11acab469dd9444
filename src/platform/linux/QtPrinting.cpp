#include "QtPrinting.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace clipvane {

bool QtPrinting::printOnDefaultPrinter(const QString& jobTitle, const std::function<void(QPainter&)>& draw,
                                       QString& error) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        error = QStringLiteral("There is no default printer. Install a printer or choose a default one, "
                               "then print again.");
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobTitle);
    if (!printer.isValid()) {
        error = QStringLiteral("The default printer \"%1\" cannot be used.").arg(info.printerName());
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = QStringLiteral("The default printer \"%1\" did not accept the print job.")
                    .arg(info.printerName());
        return false;
    }
    draw(painter);
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        error = QStringLiteral("The print job on \"%1\" failed.").arg(info.printerName());
        return false;
    }
    return true;
}

} // namespace clipvane
