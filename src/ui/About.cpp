#include "About.h"

namespace clipvane {

TAboutBox::TAboutBox(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
}

} // namespace clipvane
