#include "WebMonitor.h"

namespace clipvane {

TFormNav::TFormNav(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("FormNav"));
    setWindowTitle(QStringLiteral("Clipvane integrated browser"));
}

} // namespace clipvane
