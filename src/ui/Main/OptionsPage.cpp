#include "OptionsPage.h"

#include "core/Options.h"
#include "platform/DesktopShortcut.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Themes.h"
#include "ui/widgets/ToolBar.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace clipvane {

struct OptionsPage::Ui {
    QWidget* toolBar = nullptr; // Panel2
    QToolButton* saveOptionsButton = nullptr;
    QToolButton* reloadOptionsButton = nullptr;
    QToolButton* resetOptionsButton = nullptr;
    QToolButton* browserChoiceButton = nullptr;
    QToolButton* historyButton = nullptr;
    QToolButton* updateButton = nullptr;
    QToolButton* desktopShortcutButton = nullptr;
    QCheckBox* monitorClipboardBox = nullptr;
    QGroupBox* doubleClickGroup = nullptr;
    QButtonGroup* doubleClickButtons = nullptr;
    QCheckBox* validateAllWhenSavingBox = nullptr;
    QCheckBox* validateTickedWhenSavingBox = nullptr;
    QCheckBox* deleteInvalidBox = nullptr;
    QCheckBox* validateClipboardBox = nullptr;
    QCheckBox* saveOptionsOnExitBox = nullptr;
    QComboBox* themeList = nullptr;
    QPushButton* applyThemeButton = nullptr;
    QCheckBox* loadDefaultListBox = nullptr;
    QCheckBox* systemTrayBox = nullptr;
    QLineEdit* homePageEdit = nullptr;
    QCheckBox* saveHistoryBox = nullptr;
    QCheckBox* loadHistoryBox = nullptr;
};

OptionsPage::OptionsPage(Services services, Options& options, QWidget* parent)
    : QWidget(parent), m_services(services), m_options(options), m_ui(std::make_unique<Ui>()) {
    setObjectName(QStringLiteral("TabSheetOptions"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    buildToolBar();
    v->addWidget(m_ui->toolBar);
    buildOptionGroups();
    bindOptions();
}

OptionsPage::~OptionsPage() = default;

void OptionsPage::buildToolBar() {
    m_ui->toolBar = named(new QWidget(this), "Panel2");
    m_ui->toolBar->setFixedHeight(60);
    auto* bar = new QHBoxLayout(m_ui->toolBar);
    bar->setContentsMargins(4, 6, 4, 6);
    const QList<QToolButton*> b = toolButtons(
        m_ui->toolBar,
        {
            {"cySaveOptions", "save-options", "Save", "|Save the list to the application folder."},
            {"cyReloadOptions", "reload-options", "Reload",
             "|Reload previously all saved options of the software on this page"},
            {"cyResetOptions", "reset-options", "Reset",
             "|Reset to factory default all the options of the software on this page"},
            {"cyAdvSpeedButton5", "choose-browser", "Browser",
             "|Open a dialog window to modify the browser use for navigation by the software"},
            {"cyShowCaptureHistory", "history", "History", "|View Captured URL History"},
            {"cyDownloadUpdate", "download-update", "Update", "|Download on line the latest update..."},
            {"cyAdvSpeedButton4", "desktop-shortcut", "Shortcut",
             "|Create a shortcut of Clipvane on the desktop"},
        });
    m_ui->saveOptionsButton = b[0];
    m_ui->reloadOptionsButton = b[1];
    m_ui->resetOptionsButton = b[2];
    m_ui->browserChoiceButton = b[3];
    m_ui->historyButton = b[4];
    m_ui->updateButton = b[5];
    m_ui->desktopShortcutButton = b[6];
    m_ui->reloadOptionsButton->setEnabled(false);
    for (QToolButton* button : b)
        bar->addWidget(button);
    bar->addStretch(1);

    connect(m_ui->saveOptionsButton, &QToolButton::clicked, this, &OptionsPage::saveRequested);
    connect(m_ui->reloadOptionsButton, &QToolButton::clicked, this, &OptionsPage::reloadRequested);
    connect(m_ui->resetOptionsButton, &QToolButton::clicked, this, &OptionsPage::cyResetOptionsClick);
    connect(m_ui->desktopShortcutButton, &QToolButton::clicked, this, &OptionsPage::cyAdvSpeedButton4Click);
    // Commands that show another window, without blocking this one.
    const auto show = [this](PeerWindow w) { return [this, w] { emit showWindowRequested(w); }; };
    connect(m_ui->browserChoiceButton, &QToolButton::clicked, this, show(PeerWindow::BrowserChoice));
    connect(m_ui->historyButton, &QToolButton::clicked, this, show(PeerWindow::History));
    connect(m_ui->updateButton, &QToolButton::clicked, this, show(PeerWindow::Update));
}

void OptionsPage::buildOptionGroups() {
    auto* grid = new QGridLayout;
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setSpacing(6);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid, 1);

    auto* groupBox2 = named(new QGroupBox(QStringLiteral("Clipboard"), this), "GroupBox2");
    m_ui->monitorClipboardBox =
        checkBox(groupBox2, "CBMonClipboard", QStringLiteral("Monitor clipboard for URL"),
                 QStringLiteral("|Tick to monitor the clipboard for URL input"), true);
    (new QVBoxLayout(groupBox2))->addWidget(m_ui->monitorClipboardBox);
    grid->addWidget(groupBox2, 0, 0, 1, 2);

    m_ui->doubleClickGroup =
        named(new QGroupBox(QStringLiteral("Clipboard capture URL, Integrated browser, Valid List"), this),
              "RGURLList");
    setHint(m_ui->doubleClickGroup,
            QStringLiteral("|What to do when double clicking on a captured URL (Main window), captured URL "
                           "from page (Browser window), Valid URL (Report window)"));
    m_ui->doubleClickButtons = new QButtonGroup(m_ui->doubleClickGroup);
    auto* rgLayout = new QVBoxLayout(m_ui->doubleClickGroup);
    auto* launch = named(new QRadioButton(QStringLiteral("Double click launch URL"), m_ui->doubleClickGroup),
                         "RGURLList0");
    auto* show = named(new QRadioButton(QStringLiteral("Double click show URL"), m_ui->doubleClickGroup),
                       "RGURLList1");
    m_ui->doubleClickButtons->addButton(launch, 0);
    m_ui->doubleClickButtons->addButton(show, 1);
    launch->setChecked(true);
    rgLayout->addWidget(launch);
    rgLayout->addWidget(show);
    grid->addWidget(m_ui->doubleClickGroup, 1, 0, 1, 2);

    auto* groupBox1 = named(new QGroupBox(QStringLiteral("On line"), this), "GroupBox1");
    auto* g1 = new QVBoxLayout(groupBox1);
    m_ui->validateAllWhenSavingBox =
        checkBox(groupBox1, "CBOValidateURL", QStringLiteral("Validate URL list when saving"),
                 QStringLiteral("|Validate all the captured URL in the list and delete bad URL from "
                                "the list before saving"));
    m_ui->validateTickedWhenSavingBox = checkBox(
        groupBox1, "CBOValidateChecked", QStringLiteral("Validate checked URL list when saving"),
        QStringLiteral("|Validate all the captured ticked URL in the list and delete bad ticked URL from "
                       "the list before saving"));
    m_ui->deleteInvalidBox =
        checkBox(groupBox1, "CBDeleteInvalidURL", QStringLiteral("Delete invalid URL instead of report"),
                 QStringLiteral("|Choose what to do when you trigger a validation of ticked captured "
                                "URL. Trigger of validation is done by click on its tool (Globe with "
                                "hammer)"));
    m_ui->validateClipboardBox = checkBox(
        groupBox1, "CBValidateClipboardURL", QStringLiteral("Validate Clipboard URL"),
        QStringLiteral("|Tick:  invalid URL can't be added to most URL list of this software. Untick: "
                       "simple control of the format of the URL. Validation can be done later."));
    for (QCheckBox* c : {m_ui->validateAllWhenSavingBox, m_ui->validateTickedWhenSavingBox,
                         m_ui->deleteInvalidBox, m_ui->validateClipboardBox})
        g1->addWidget(c);
    grid->addWidget(groupBox1, 0, 2, 2, 2);

    auto* groupBox4 = named(new QGroupBox(QStringLiteral("Options settings"), this), "GroupBox4");
    m_ui->saveOptionsOnExitBox =
        checkBox(groupBox4, "CBSave", QStringLiteral("Save options on exiting the software"),
                 QStringLiteral("|Tick to save the options on exiting the software into the application "
                                "folder. Untick to not save the options on exit."));
    (new QVBoxLayout(groupBox4))->addWidget(m_ui->saveOptionsOnExitBox);
    grid->addWidget(groupBox4, 2, 0, 1, 2);

    auto* groupBox5 = named(new QGroupBox(QStringLiteral("Skin theme"), this), "GroupBox5");
    auto* g5 = new QHBoxLayout(groupBox5);
    m_ui->themeList = named(new QComboBox(groupBox5), "CBBTheme");
    m_ui->themeList->addItems(themeEntries());
    m_ui->themeList->setCurrentIndex(0);
    setHint(
        m_ui->themeList,
        QStringLiteral("|Choose one of the six themes to skin the software that suits the look of your PC"));
    m_ui->applyThemeButton = named(new QPushButton(QStringLiteral("Apply"), groupBox5), "Button1");
    m_ui->applyThemeButton->hide();
    g5->addWidget(m_ui->themeList);
    g5->addWidget(m_ui->applyThemeButton);
    grid->addWidget(groupBox5, 2, 2);

    auto* groupBox3 = named(new QGroupBox(QStringLiteral("Startup"), this), "GroupBox3");
    m_ui->loadDefaultListBox =
        checkBox(groupBox3, "CBLoadDefaultList", QStringLiteral("Load default URL list"),
                 QStringLiteral("|Tick to load the default URL List at startup. This list must have "
                                "been saved previously. Untick to start with a new URL list at startup."),
                 true);
    (new QVBoxLayout(groupBox3))->addWidget(m_ui->loadDefaultListBox);
    grid->addWidget(groupBox3, 2, 3);

    auto* groupBox8 = named(new QGroupBox(QStringLiteral("Window minimise"), this), "GroupBox8");
    m_ui->systemTrayBox =
        checkBox(groupBox8, "CBMinimize", QStringLiteral("System Tray"),
                 QStringLiteral("| Ticked/Unticked the software is minimised to the System tray/Task bar"));
    (new QVBoxLayout(groupBox8))->addWidget(m_ui->systemTrayBox);
    grid->addWidget(groupBox8, 3, 1);

    auto* groupBox6 = named(new QGroupBox(QStringLiteral("Integrated browser home page"), this), "GroupBox6");
    m_ui->homePageEdit = named(new QLineEdit(groupBox6), "Edit1");
    setHint(m_ui->homePageEdit,
            QStringLiteral("|Input here a URL used by Clipvane integrated browser home button"));
    (new QVBoxLayout(groupBox6))->addWidget(m_ui->homePageEdit);
    grid->addWidget(groupBox6, 3, 2, 1, 2);

    auto* groupBox7 = named(new QGroupBox(QStringLiteral("Captured URL history"), this), "GroupBox7");
    auto* g7 = new QVBoxLayout(groupBox7);
    m_ui->saveHistoryBox =
        checkBox(groupBox7, "CBSaveHistory", QStringLiteral("Save on exiting the software"),
                 QStringLiteral("|Save the capture history to the application folder on exiting the "
                                "software. The file name is: Capture History.csv"));
    m_ui->loadHistoryBox =
        checkBox(groupBox7, "CBLoadHistory", QStringLiteral("Load at startup"),
                 QStringLiteral("|Load the Capture History.csv at startup from Clipvane folder."));
    g7->addWidget(m_ui->saveHistoryBox);
    g7->addWidget(m_ui->loadHistoryBox);
    grid->addWidget(groupBox7, 3, 0);
    grid->setRowStretch(4, 1);
    // The page has to fit the window's design size: group boxes keep their frames close to their content.
    for (QGroupBox* g : findChildren<QGroupBox*>()) {
        g->layout()->setContentsMargins(8, 2, 8, 4);
        g->layout()->setSpacing(2);
    }
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 2);
    grid->setColumnStretch(3, 3);

    // The bottom row reads history, window minimise, home page, left to right.
    QWidget::setTabOrder(m_ui->loadDefaultListBox, m_ui->saveHistoryBox);
    QWidget::setTabOrder(m_ui->saveHistoryBox, m_ui->loadHistoryBox);
    QWidget::setTabOrder(m_ui->loadHistoryBox, m_ui->systemTrayBox);
    QWidget::setTabOrder(m_ui->systemTrayBox, m_ui->homePageEdit);
}

namespace {

// A check box and one option, both ways: a box changed from code changes the option too.
void bindBox(QCheckBox* box, Options& options, bool (Options::*get)() const, void (Options::*set)(bool),
             void (Options::*changed)(bool)) {
    box->setChecked((options.*get)());
    QObject::connect(box, &QCheckBox::toggled, &options, [&options, set](bool on) { (options.*set)(on); });
    QObject::connect(&options, changed, box, &QCheckBox::setChecked);
}

} // namespace

void OptionsPage::bindOptions() {
    Options& o = m_options;
    bindBox(m_ui->monitorClipboardBox, o, &Options::monitorClipboard, &Options::setMonitorClipboard,
            &Options::monitorClipboardChanged);
    bindBox(m_ui->deleteInvalidBox, o, &Options::deleteInvalidUrl, &Options::setDeleteInvalidUrl,
            &Options::deleteInvalidUrlChanged);
    bindBox(m_ui->validateClipboardBox, o, &Options::validateClipboardUrl, &Options::setValidateClipboardUrl,
            &Options::validateClipboardUrlChanged);
    bindBox(m_ui->saveOptionsOnExitBox, o, &Options::saveOptionsOnExit, &Options::setSaveOptionsOnExit,
            &Options::saveOptionsOnExitChanged);
    bindBox(m_ui->loadDefaultListBox, o, &Options::loadDefaultList, &Options::setLoadDefaultList,
            &Options::loadDefaultListChanged);
    bindBox(m_ui->saveHistoryBox, o, &Options::saveHistoryOnExit, &Options::setSaveHistoryOnExit,
            &Options::saveHistoryOnExitChanged);
    bindBox(m_ui->loadHistoryBox, o, &Options::loadHistoryAtStartup, &Options::setLoadHistoryAtStartup,
            &Options::loadHistoryAtStartupChanged);
    bindBox(m_ui->systemTrayBox, o, &Options::systemTray, &Options::setSystemTray,
            &Options::systemTrayChanged);

    // The two save-time validations are one option: ticking one unticks the other.
    const auto showSaveValidation = [this] {
        m_ui->validateAllWhenSavingBox->setChecked(m_options.validateUrlWhenSaving());
        m_ui->validateTickedWhenSavingBox->setChecked(m_options.validateCheckedWhenSaving());
    };
    showSaveValidation();
    connect(m_ui->validateAllWhenSavingBox, &QCheckBox::toggled, &o, &Options::setValidateUrlWhenSaving);
    connect(m_ui->validateTickedWhenSavingBox, &QCheckBox::toggled, &o,
            &Options::setValidateCheckedWhenSaving);
    connect(&o, &Options::saveValidationChanged, this, showSaveValidation);

    selectDoubleClickMode(o.doubleClickMode());
    connect(m_ui->doubleClickButtons, &QButtonGroup::idToggled, &o, [&o](int id, bool checked) {
        if (checked)
            o.setDoubleClickMode(id);
    });
    connect(&o, &Options::doubleClickModeChanged, this, &OptionsPage::selectDoubleClickMode);

    // A theme out of the list shows as none, and is stored so. Only the user's pick applies it.
    const auto showTheme = [this](int index) {
        m_ui->themeList->setCurrentIndex(index >= 0 && index < m_ui->themeList->count() ? index : -1);
    };
    showTheme(o.themeIndex());
    connect(m_ui->themeList, &QComboBox::currentIndexChanged, &o, &Options::setThemeIndex);
    connect(&o, &Options::themeIndexChanged, this, showTheme);
    connect(m_ui->themeList, &QComboBox::activated, this, &OptionsPage::themeChosen);
    connect(m_ui->applyThemeButton, &QPushButton::clicked, this, &OptionsPage::applyRequested);

    m_ui->homePageEdit->setText(o.homePage());
    connect(m_ui->homePageEdit, &QLineEdit::textChanged, &o, &Options::setHomePage);
    connect(&o, &Options::homePageChanged, this, [this](const QString& page) {
        if (m_ui->homePageEdit->text() != page)
            m_ui->homePageEdit->setText(page);
    });
}

void OptionsPage::selectDoubleClickMode(int mode) {
    QButtonGroup* group = m_ui->doubleClickButtons;
    if (mode < 0) {
        if (QAbstractButton* b = group->checkedButton()) {
            group->setExclusive(false);
            b->setChecked(false);
            group->setExclusive(true);
        }
        return;
    }
    group->button(qMin(mode, group->buttons().size() - 1))->setChecked(true);
}

void OptionsPage::setReloadEnabled(bool enabled) {
    m_ui->reloadOptionsButton->setEnabled(enabled);
}

void OptionsPage::cyResetOptionsClick() {
    Options& o = m_options;
    o.setMonitorClipboard(true);
    o.setDoubleClickMode(0);
    o.setSaveValidation(SaveValidationOption::None);
    o.setDeleteInvalidUrl(false);
    o.setValidateClipboardUrl(true);
    o.setSaveOptionsOnExit(false);
    o.setThemeIndex(0);
    emit themeChosen();
    o.setLoadDefaultList(true);
    o.setHomePage(QStringLiteral("http://") + m_services.addresses.searchHost);
    o.setSaveHistoryOnExit(false);
    o.setLoadHistoryAtStartup(false);
    o.setSystemTray(false);
    o.setStartMinimised(false);
    // The tick only: the stored exit-to-tray choice stays until the user changes it.
    o.setExitToTray(false);
}

void OptionsPage::cyAdvSpeedButton4Click() {
    DesktopShortcut* shortcut = m_services.platform.desktopShortcut;
    if (!shortcut)
        return;
    const AppPaths& paths = m_services.platform.paths;
    ShortcutRequest request;
    request.name = paths.executableBaseName();
    request.description = QStringLiteral("Description ...");
    request.target = paths.executablePath();
    request.workingDirectory = paths.executableFolder() + u'/';
    // A shortcut already there, or one that cannot be written, says nothing; a desktop without a desktop
    // folder is said, or the button would seem broken.
    switch (shortcut->create(request)) {
    case DesktopShortcut::Result::Created:
        m_services.dialogs->message(MessageKind::Information, QStringLiteral("Link has been created ..."),
                                    Buttons::Ok);
        break;
    case DesktopShortcut::Result::NoDesktopFolder: {
        const QString folder = shortcut->desktopFolder();
        m_services.dialogs->message(
            MessageKind::Warning,
            folder.isEmpty()
                ? QStringLiteral("No shortcut was created: this desktop has no desktop folder.")
                : QStringLiteral("No shortcut was created: the desktop folder %1 does not exist.")
                      .arg(folder),
            Buttons::Ok);
        break;
    }
    case DesktopShortcut::Result::AlreadyThere:
    case DesktopShortcut::Result::Failed:
        break;
    }
}

} // namespace clipvane
