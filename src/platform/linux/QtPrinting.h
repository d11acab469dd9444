#pragma once
#include "platform/Printing.h"

namespace clipvane {

// Printing through the print system Qt finds (CUPS): the default printer at its own resolution.
class QtPrinting final : public Printing {
public:
    bool printOnDefaultPrinter(const QString& jobTitle, const std::function<void(QPainter&)>& draw,
                               QString& error) override;
};

} // namespace clipvane
