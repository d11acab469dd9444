#include "CaptureHistory.h"

namespace clipvane {

TForm5::TForm5(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Capture History"));
}

} // namespace clipvane
