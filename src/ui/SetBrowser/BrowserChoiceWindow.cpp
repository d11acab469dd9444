#include "BrowserChoiceWindow.h"

#include "prefs/BrowserChoice.h"
#include "prefs/UrlLauncher.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/ToolBar.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace clipvane {

namespace {

inline constexpr char kUsageInformation[] =
    "The browser path is read only.\r\n"
    "It contains the path of any executable of your choice\r\n"
    "Even if it's main purpose is the selection of a browser. \r\n"
    "It affects the Navigate button on the main window of the software.\r\n"
    "E.g. if you selected the notepad, the Navigate button will launch the notepad with the selected URL as "
    "\r\n"
    "parameter.\r\n"
    "\r\n"
    "Therfor this path could contains any application able to manage URL as parameter. Other \r\n"
    "possible application will react or not to wrong parameter when launched by the navigate button with \r\n"
    "or without  catastrophic result.\r\n"
    "\r\n"
    "It is highly not recommended to not select a browser. If you do so, you do that at your own risk.\r\n"
    "\r\n"
    "To be sure you have selected a browser: empty the URL test input field and click the navigate button\r\n"
    "on this option window.\r\n";

constexpr int kPictureSize = 32;

// The small picture buttons beside the fields and at the foot, and the commands, which say what they do.
const ToolButtonLook kPictureLook{QSize(34, 30), QSize(24, 24)};
const ToolButtonLook kCommandLook{QSize(), QSize(20, 20), Qt::ToolButtonTextBesideIcon, false, false};

QLabel* drivePicture(QWidget* parent, const char* name, const char* pictureName) {
    auto* l = named(new QLabel(parent), name);
    l->setProperty("picture", QString::fromLatin1(pictureName));
    l->hide();
    return l;
}

} // namespace

struct BrowserChoiceWindow::Ui {
    QGroupBox* currentBrowserBox = nullptr;  // GroupBox1
    QLabel* browserName = nullptr;           // LabelEXE
    QCheckBox* rememberBrowser = nullptr;    // CBRememberBrowser
    QLabel* pathLabel = nullptr;             // Label2
    QLineEdit* browserPath = nullptr;        // Edit1
    QToolButton* browseButton = nullptr;     // cyBrowserPathOpen
    QLabel* testUrlLabel = nullptr;          // Label3
    QLineEdit* testUrl = nullptr;            // Edit2
    QToolButton* testButton = nullptr;       // cyAdvSpeedButton1
    QToolButton* setBrowserButton = nullptr; // cySetBrowser
    QLabel* driveTypePicture = nullptr;      // ImageStatus
    QToolButton* resetButton = nullptr;      // cyResetOptions
    QToolButton* reloadButton = nullptr;     // cyReloadOptions
    QToolButton* driveInfoButton = nullptr;  // cyDriveInfo
    QToolButton* usageInfoButton = nullptr;  // cyAdvSpeedButton7
    QToolButton* closeButton = nullptr;      // cyClose
    QLabel* hintPanel = nullptr;             // HintPanel
    QLabel* unknownDrivePicture = nullptr;   // ImageUNK
    QLabel* noRootDrivePicture = nullptr;    // ImageNOR
    QLabel* usbDrivePicture = nullptr;       // ImageUSB
    QLabel* fixedDrivePicture = nullptr;     // ImageHDD
    QLabel* remoteDrivePicture = nullptr;    // ImageREM
    QLabel* opticalDrivePicture = nullptr;   // ImageOPT
    QLabel* ramDrivePicture = nullptr;       // ImageRAM
};

BrowserChoiceWindow::BrowserChoiceWindow(Services services, BrowserChoice& choice, UrlLauncher& launcher,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui>()), m_services(services), m_choice(choice),
      m_launcher(launcher) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Set Clipvane default internet browser"));
    setWindowIcon(applicationIcon());
    setMinimumWidth(426);
    setFixedHeight(364);
    resize(460, 364);

    auto* v = new QVBoxLayout(this);

    // The current browser and the picture of its drive
    auto* top = new QHBoxLayout;
    m_ui->currentBrowserBox = named(new QGroupBox(QStringLiteral("Current browser"), this), "GroupBox1");
    auto* g1 = new QVBoxLayout(m_ui->currentBrowserBox);
    m_ui->browserName = named(new QLabel(kSystemDefault, m_ui->currentBrowserBox), "LabelEXE");
    m_ui->browserName->setTextFormat(Qt::PlainText);
    QFont bold = m_ui->browserName->font();
    bold.setBold(true);
    m_ui->browserName->setFont(bold);
    m_ui->rememberBrowser =
        named(new QCheckBox(QStringLiteral("Remember browser's choice"), m_ui->currentBrowserBox),
              "CBRememberBrowser");
    setHint(m_ui->rememberBrowser,
            QStringLiteral("|Tick: use selected browser, untick: use system default. Both at next startup"));
    g1->addWidget(m_ui->browserName);
    g1->addWidget(m_ui->rememberBrowser);
    top->addWidget(m_ui->currentBrowserBox, 1);
    m_ui->driveTypePicture = named(new QLabel(this), "ImageStatus");
    m_ui->driveTypePicture->setFixedSize(kPictureSize + 16, kPictureSize + 16);
    m_ui->driveTypePicture->setAlignment(Qt::AlignCenter);
    setHint(m_ui->driveTypePicture, QStringLiteral("|Type of drive where is located the selected browser"));
    top->addWidget(m_ui->driveTypePicture, 0, Qt::AlignVCenter);
    v->addLayout(top);

    // The browser path and the test URL
    auto* grid = new QGridLayout;
    m_ui->pathLabel = named(new QLabel(QStringLiteral("Browser path"), this), "Label2");
    m_ui->browserPath = named(new QLineEdit(kSystemDefault, this), "Edit1");
    m_ui->browserPath->setReadOnly(true);
    m_ui->browseButton =
        toolButton(this,
                   {"cyBrowserPathOpen", "open-list", "Choose the browser",
                    "|Open a dialog window to modify the browser used for navigation by the software"},
                   kPictureLook);
    grid->addWidget(m_ui->pathLabel, 0, 0);
    grid->addWidget(m_ui->browserPath, 0, 1);
    grid->addWidget(m_ui->browseButton, 0, 2);
    m_ui->testUrlLabel = named(new QLabel(QStringLiteral("URL test"), this), "Label3");
    m_ui->testUrl = named(new QLineEdit(m_choice.testUrl(), this), "Edit2");
    m_ui->testButton = toolButton(this,
                                  {"cyAdvSpeedButton1", "navigate", "Test the browser",
                                   "|Test the selected browser with the URL test provided"},
                                  kPictureLook);
    grid->addWidget(m_ui->testUrlLabel, 1, 0);
    grid->addWidget(m_ui->testUrl, 1, 1);
    grid->addWidget(m_ui->testButton, 1, 2);
    v->addLayout(grid);

    // The commands
    auto* commands = new QGridLayout;
    const QList<QToolButton*> commandButtons =
        toolButtons(this,
                    {{"cySetBrowser", "choose-browser", "Set browser",
                      "|Set the browser use for navigation by the software. Act as 'Apply'"},
                     {"cyResetOptions", "reset-options", "Reset to default",
                      "|Reset to factory default all the options of the software on this page"},
                     {"cyReloadOptions", "reload-options", "Reload all saved options",
                      "|Reload previously all saved options of the software on this page"},
                     {"cyDriveInfo", "drive-hdd", "Drive information",
                      "|Show all visible drive type, letter, and space storage statistics"}},
                    kCommandLook);
    for (QToolButton* b : commandButtons) {
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumHeight(30);
    }
    m_ui->setBrowserButton = commandButtons[0];
    m_ui->resetButton = commandButtons[1];
    m_ui->reloadButton = commandButtons[2];
    m_ui->driveInfoButton = commandButtons[3];
    commands->addWidget(m_ui->setBrowserButton, 0, 0);
    commands->addWidget(m_ui->resetButton, 0, 1);
    commands->addWidget(m_ui->reloadButton, 1, 0);
    commands->addWidget(m_ui->driveInfoButton, 1, 1);
    v->addLayout(commands);
    v->addStretch(1);

    auto* bottom = new QHBoxLayout;
    const QList<QToolButton*> footButtons =
        toolButtons(this,
                    {{"cyAdvSpeedButton7", "about", "More usage information", "|More usage information"},
                     {"cyClose", "exit", "Close", "|Close this option window"}},
                    kPictureLook);
    m_ui->usageInfoButton = footButtons[0];
    m_ui->closeButton = footButtons[1];
    bottom->addWidget(m_ui->usageInfoButton);
    bottom->addStretch(1);
    bottom->addWidget(m_ui->closeButton);
    v->addLayout(bottom);

    m_ui->hintPanel = hintPanel(this);
    v->addWidget(m_ui->hintPanel);

    m_ui->unknownDrivePicture = drivePicture(this, "ImageUNK", "drive-unknown");
    m_ui->noRootDrivePicture = drivePicture(this, "ImageNOR", "drive-noroot");
    m_ui->usbDrivePicture = drivePicture(this, "ImageUSB", "drive-usb");
    m_ui->fixedDrivePicture = drivePicture(this, "ImageHDD", "drive-hdd");
    m_ui->remoteDrivePicture = drivePicture(this, "ImageREM", "drive-remote");
    m_ui->opticalDrivePicture = drivePicture(this, "ImageOPT", "drive-optical");
    m_ui->ramDrivePicture = drivePicture(this, "ImageRAM", "drive-ram");

    drawPictures();

    connect(&m_choice, &BrowserChoice::changed, this, &BrowserChoiceWindow::showChoice);
    connect(m_ui->rememberBrowser, &QCheckBox::toggled, &m_choice, &BrowserChoice::setRemember);
    connect(m_ui->testUrl, &QLineEdit::textChanged, &m_choice, &BrowserChoice::setTestUrl);
    connect(m_ui->browseButton, &QToolButton::clicked, this, &BrowserChoiceWindow::cyBrowserPathOpenClick);
    connect(m_ui->testButton, &QToolButton::clicked, this, &BrowserChoiceWindow::cyAdvSpeedButton1Click);
    connect(m_ui->setBrowserButton, &QToolButton::clicked, this, &BrowserChoiceWindow::cySetBrowserClick);
    connect(m_ui->resetButton, &QToolButton::clicked, this, &BrowserChoiceWindow::cyResetOptionsClick);
    connect(m_ui->reloadButton, &QToolButton::clicked, this, &BrowserChoiceWindow::ReadIniFile);
    connect(m_ui->driveInfoButton, &QToolButton::clicked, this, &BrowserChoiceWindow::driveUsageRequested);
    connect(m_ui->usageInfoButton, &QToolButton::clicked, this, &BrowserChoiceWindow::showUsageInformation);
    connect(m_ui->closeButton, &QToolButton::clicked, this, &BrowserChoiceWindow::cyCloseClick);
    showChoice();
}

BrowserChoiceWindow::~BrowserChoiceWindow() = default;

void BrowserChoiceWindow::FormCreate() {
    setReloadEnabled(m_choice.FormCreate(m_services.platform.paths.iniPath()));
}

void BrowserChoiceWindow::ReadIniFile() {
    setReloadEnabled(m_choice.ReadIniFile(m_services.platform.paths.iniPath()));
}

void BrowserChoiceWindow::setReloadEnabled(bool enabled) {
    m_ui->reloadButton->setEnabled(enabled);
}

QLabel* BrowserChoiceWindow::pictureOf(DriveType type) const {
    switch (type) {
    case DriveType::Unknown:
        return m_ui->unknownDrivePicture;
    case DriveType::NoRoot:
        return m_ui->noRootDrivePicture;
    case DriveType::Removable:
        return m_ui->usbDrivePicture;
    case DriveType::Fixed:
        return m_ui->fixedDrivePicture;
    case DriveType::Remote:
        return m_ui->remoteDrivePicture;
    case DriveType::Optical:
        return m_ui->opticalDrivePicture;
    case DriveType::RamDisk:
        return m_ui->ramDrivePicture;
    }
    return m_ui->unknownDrivePicture;
}

// The pictures are drawn in the palette's ink: drawn again when the theme changes it.
void BrowserChoiceWindow::drawPictures() {
    for (QLabel* l :
         {m_ui->unknownDrivePicture, m_ui->noRootDrivePicture, m_ui->usbDrivePicture, m_ui->fixedDrivePicture,
          m_ui->remoteDrivePicture, m_ui->opticalDrivePicture, m_ui->ramDrivePicture})
        l->setPixmap(picture(l->property("picture").toString()).pixmap(kPictureSize, kPictureSize));
}

void BrowserChoiceWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        drawPictures();
        m_ui->driveTypePicture->setPixmap(pictureOf(m_choice.driveType())->pixmap());
    }
}

void BrowserChoiceWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shownBefore)
        return;
    // Centred on the screen the first time; afterwards it comes back where the user left it.
    m_shownBefore = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void BrowserChoiceWindow::showChoice() {
    m_ui->browserName->setText(m_choice.currentBrowser());
    m_ui->rememberBrowser->setChecked(m_choice.remember());
    m_ui->browserPath->setText(m_choice.browserPath());
    m_ui->browserPath->setCursorPosition(0);
    if (m_ui->testUrl->text() != m_choice.testUrl())
        m_ui->testUrl->setText(m_choice.testUrl());
    m_ui->driveTypePicture->setPixmap(pictureOf(m_choice.driveType())->pixmap());
    EnableButton();
}

void BrowserChoiceWindow::EnableButton() {
    m_ui->setBrowserButton->setEnabled(m_choice.RelTest());
}

void BrowserChoiceWindow::cyBrowserPathOpenClick() {
    FileDialogRequest request;
    request.title = QStringLiteral("Browser");
    request.filters = QStringLiteral("Browser (*)|*");
    // Start where the current browser is; browsers are usually installed in /usr/bin.
    request.initialFolder =
        m_choice.RelTest() ? QFileInfo(m_choice.browserPath()).path() : QStringLiteral("/usr/bin");
    const FileDialogResult picked = m_services.dialogs->openFile(request);
    if (picked.accepted)
        m_choice.choose(picked.path);
}

void BrowserChoiceWindow::cyAdvSpeedButton1Click() {
    m_launcher.testBrowser(m_ui->testUrl->text());
}

void BrowserChoiceWindow::cySetBrowserClick() {
    m_choice.SetBrowser();
}

void BrowserChoiceWindow::cyResetOptionsClick() {
    m_choice.Reset();
}

void BrowserChoiceWindow::showUsageInformation() {
    m_services.dialogs->message(MessageKind::Warning, QString::fromLatin1(kUsageInformation), Buttons::Ok);
}

void BrowserChoiceWindow::cyCloseClick() {
    hide();
}

} // namespace clipvane
