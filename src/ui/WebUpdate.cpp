#include "WebUpdate.h"

namespace clipvane {

TForm6::TForm6(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Clipvane Web Update"));
}

} // namespace clipvane
