#include "WebMonitor.h"

#include "prefs/Preferences.h"
#include "widgets/Hints.h"
#include "widgets/Placement.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace clipvane {

TFormNav::TFormNav(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("FormNav"));
    setWindowTitle(QStringLiteral("Clipvane integrated browser"));
    resize(980, 640);
    auto* v = new QVBoxLayout(this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    setHint(Edit1,
            QStringLiteral("|Address bar. Input here a valid web address. Or type what you want to search "
                           "(e.g. latest version of Clipvane)"));
    v->addWidget(Edit1);
    v->addStretch(1);
}

void TFormNav::FormCreate() {
    LoadINIFile();
}

void TFormNav::LoadINIFile() {
    const IniFile ini(m_services.platform.paths.iniPath());
    applyStoredPlacement(*this, readPlacement(ini, ini::WBPlacement));
    Edit1->setText(QStringLiteral("about:blank"));
}

void TFormNav::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        centreOnScreen(*this);
    }
}

} // namespace clipvane
