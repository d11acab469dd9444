#include "SetBrowser.h"

namespace clipvane {

TForm3::TForm3(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Set Clipvane default internet browser"));
}

} // namespace clipvane
