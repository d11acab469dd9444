#pragma once
#include <QString>
#include <functional>

class QPainter;

namespace clipvane {

// The system's printers.
class Printing {
public:
    virtual ~Printing() = default;
    // One job named jobTitle on the default printer, without a dialog: draw paints its single page in
    // the printer's device units. False, with a text for the user in error, when there is no usable
    // default printer or the job fails.
    virtual bool printOnDefaultPrinter(const QString& jobTitle, const std::function<void(QPainter&)>& draw,
                                       QString& error) = 0;
};

} // namespace clipvane
