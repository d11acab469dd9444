#include "ValidateURLResult.h"

namespace clipvane {

TForm2::TForm2(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Validation of URL report"));
}

} // namespace clipvane
