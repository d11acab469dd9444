#include "FixedDriveInfo.h"

namespace clipvane {

TForm4::TForm4(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("All drive information"));
}

} // namespace clipvane
