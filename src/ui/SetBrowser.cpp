#include "SetBrowser.h"

#include "widgets/Controls.h"

#include "core/ExternalAddresses.h"
#include "prefs/Preferences.h"
#include "widgets/Hints.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace clipvane {

namespace {} // namespace

TForm3::TForm3(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Set Clipvane default internet browser"));
    setMinimumWidth(426);
    setFixedHeight(364);
    resize(426, 364);

    auto* v = new QVBoxLayout(this);
    auto* groupBox1 = named(new QGroupBox(QStringLiteral("Current browser"), this), "GroupBox1");
    auto* g1 = new QVBoxLayout(groupBox1);
    LabelEXE = named(new QLabel(kSystemDefault, groupBox1), "LabelEXE");
    LabelEXE->setTextFormat(Qt::PlainText); // a file name read from the preference file
    CBRememberBrowser =
        named(new QCheckBox(QStringLiteral("Remember browser's choice"), groupBox1), "CBRememberBrowser");
    setHint(CBRememberBrowser,
            QStringLiteral("|Tick: use selected browser, untick: use system default. Both at next startup"));
    g1->addWidget(LabelEXE);
    g1->addWidget(CBRememberBrowser);
    v->addWidget(groupBox1);

    auto* grid = new QGridLayout;
    grid->addWidget(named(new QLabel(QStringLiteral("Browser path"), this), "Label2"), 0, 0);
    Edit1 = named(new QLineEdit(kSystemDefault, this), "Edit1");
    Edit1->setReadOnly(true);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(named(new QLabel(QStringLiteral("URL test"), this), "Label3"), 1, 0);
    Edit2 = named(new QLineEdit(defaultTestUrl(m_services.addresses.searchHost), this), "Edit2");
    grid->addWidget(Edit2, 1, 1);
    v->addLayout(grid);

    cyReloadOptions = named(new QToolButton(this), "cyReloadOptions");
    cyReloadOptions->setText(QStringLiteral("Reload all saved options"));
    setHint(cyReloadOptions,
            QStringLiteral("|Reload previously all saved options of the software on this page"));
    v->addWidget(cyReloadOptions, 0, Qt::AlignLeft);
    v->addStretch(1);

    HintPanel = named(new QLabel(this), "HintPanel");
    HintPanel->setFixedHeight(41);
    HintPanel->setWordWrap(true);
    v->addWidget(HintPanel);

    RelPath = kSystemDefault;
    RelBrowser = kSystemDefault;
    connect(cyReloadOptions, &QToolButton::clicked, this, &TForm3::ReadIniFile);
}

void TForm3::FormCreate() {
    RelPath = kSystemDefault;
    RelBrowser = kSystemDefault;
    RelTest = false;
    Edit1->setText(kSystemDefault);
    ReadIniFile();
}

void TForm3::ReadIniFile() {
    const IniFile ini(m_services.platform.paths.iniPath());
    if (!ini.exists()) {
        cyReloadOptions->setEnabled(false);
        return;
    }
    cyReloadOptions->setEnabled(true);
    const BrowserChoiceOptions o = readBrowserChoiceOptions(ini, m_services.addresses.searchHost);
    CBRememberBrowser->setChecked(o.rememberBrowser);
    LabelEXE->setText(o.browserExeName);
    RelTest = o.relTest;
    RelPath = o.relPath;
    RelBrowser = o.relBrowser;
    Edit2->setText(o.testUrl);
}

BrowserChoiceOptions TForm3::browserChoiceOptions() const {
    BrowserChoiceOptions b;
    b.rememberBrowser = CBRememberBrowser->isChecked();
    b.browserExeName = LabelEXE->text();
    b.relTest = RelTest;
    b.relPath = RelPath;
    b.relBrowser = RelBrowser;
    b.testUrl = Edit2->text();
    return b;
}

void TForm3::setReloadEnabled(bool enabled) {
    cyReloadOptions->setEnabled(enabled);
}

} // namespace clipvane
