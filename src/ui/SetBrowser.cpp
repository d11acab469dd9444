#include "SetBrowser.h"

#include "prefs/BrowserChoice.h"
#include "prefs/UrlLauncher.h"
#include "widgets/Controls.h"
#include "widgets/Hints.h"
#include "widgets/Pictures.h"

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

QToolButton* pictureButton(QWidget* parent, const char* name, const char* pictureName, const QString& caption,
                           const QString& hint) {
    auto* b = named(new QToolButton(parent), name);
    b->setAccessibleName(caption);
    b->setIcon(picture(QString::fromLatin1(pictureName)));
    b->setIconSize(QSize(24, 24));
    b->setFixedSize(34, 30);
    b->setAutoRaise(true);
    setHint(b, hint);
    return b;
}

QToolButton* captionButton(QWidget* parent, const char* name, const char* pictureName, const QString& caption,
                           const QString& hint) {
    auto* b = named(new QToolButton(parent), name);
    b->setText(caption);
    b->setIcon(picture(QString::fromLatin1(pictureName)));
    b->setIconSize(QSize(20, 20));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b->setMinimumHeight(30);
    setHint(b, hint);
    return b;
}

QLabel* drivePicture(QWidget* parent, const char* name, const char* pictureName) {
    auto* l = named(new QLabel(parent), name);
    l->setProperty("picture", QString::fromLatin1(pictureName));
    l->hide();
    return l;
}

} // namespace

TForm3::TForm3(Services services, BrowserChoice& choice, UrlLauncher& launcher, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_choice(choice), m_launcher(launcher) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Set Clipvane default internet browser"));
    setWindowIcon(applicationIcon());
    setMinimumWidth(426);
    setFixedHeight(364);
    resize(460, 364);

    auto* v = new QVBoxLayout(this);

    // The current browser and the picture of its drive
    auto* top = new QHBoxLayout;
    GroupBox1 = named(new QGroupBox(QStringLiteral("Current browser"), this), "GroupBox1");
    auto* g1 = new QVBoxLayout(GroupBox1);
    LabelEXE = named(new QLabel(kSystemDefault, GroupBox1), "LabelEXE");
    LabelEXE->setTextFormat(Qt::PlainText);
    QFont bold = LabelEXE->font();
    bold.setBold(true);
    LabelEXE->setFont(bold);
    CBRememberBrowser =
        named(new QCheckBox(QStringLiteral("Remember browser's choice"), GroupBox1), "CBRememberBrowser");
    setHint(CBRememberBrowser,
            QStringLiteral("|Tick: use selected browser, untick: use system default. Both at next startup"));
    g1->addWidget(LabelEXE);
    g1->addWidget(CBRememberBrowser);
    top->addWidget(GroupBox1, 1);
    ImageStatus = named(new QLabel(this), "ImageStatus");
    ImageStatus->setFixedSize(kPictureSize + 16, kPictureSize + 16);
    ImageStatus->setAlignment(Qt::AlignCenter);
    setHint(ImageStatus, QStringLiteral("|Type of drive where is located the selected browser"));
    top->addWidget(ImageStatus, 0, Qt::AlignVCenter);
    v->addLayout(top);

    // The browser path and the test URL
    auto* grid = new QGridLayout;
    Label2 = named(new QLabel(QStringLiteral("Browser path"), this), "Label2");
    Edit1 = named(new QLineEdit(kSystemDefault, this), "Edit1");
    Edit1->setReadOnly(true);
    cyBrowserPathOpen = pictureButton(
        this, "cyBrowserPathOpen", "open-list", QStringLiteral("Choose the browser"),
        QStringLiteral("|Open a dialog window to modify the browser used for navigation by the software"));
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(cyBrowserPathOpen, 0, 2);
    Label3 = named(new QLabel(QStringLiteral("URL test"), this), "Label3");
    Edit2 = named(new QLineEdit(m_choice.testUrl(), this), "Edit2");
    cyAdvSpeedButton1 =
        pictureButton(this, "cyAdvSpeedButton1", "navigate", QStringLiteral("Test the browser"),
                      QStringLiteral("|Test the selected browser with the URL test provided"));
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(cyAdvSpeedButton1, 1, 2);
    v->addLayout(grid);

    // The commands
    auto* commands = new QGridLayout;
    cySetBrowser =
        captionButton(this, "cySetBrowser", "choose-browser", QStringLiteral("Set browser"),
                      QStringLiteral("|Set the browser use for navigation by the software. Act as 'Apply'"));
    cyResetOptions = captionButton(
        this, "cyResetOptions", "reset-options", QStringLiteral("Reset to default"),
        QStringLiteral("|Reset to factory default all the options of the software on this page"));
    cyReloadOptions =
        captionButton(this, "cyReloadOptions", "reload-options", QStringLiteral("Reload all saved options"),
                      QStringLiteral("|Reload previously all saved options of the software on this page"));
    cyDriveInfo =
        captionButton(this, "cyDriveInfo", "drive-hdd", QStringLiteral("Drive information"),
                      QStringLiteral("|Show all visible drive type, letter, and space storage statistics"));
    commands->addWidget(cySetBrowser, 0, 0);
    commands->addWidget(cyResetOptions, 0, 1);
    commands->addWidget(cyReloadOptions, 1, 0);
    commands->addWidget(cyDriveInfo, 1, 1);
    v->addLayout(commands);
    v->addStretch(1);

    auto* bottom = new QHBoxLayout;
    cyAdvSpeedButton7 =
        pictureButton(this, "cyAdvSpeedButton7", "about", QStringLiteral("More usage information"),
                      QStringLiteral("|More usage information"));
    cyClose = pictureButton(this, "cyClose", "exit", QStringLiteral("Close"),
                            QStringLiteral("|Close this option window"));
    bottom->addWidget(cyAdvSpeedButton7);
    bottom->addStretch(1);
    bottom->addWidget(cyClose);
    v->addLayout(bottom);

    HintPanel = named(new QLabel(this), "HintPanel");
    HintPanel->setTextFormat(Qt::PlainText);
    HintPanel->setFixedHeight(41);
    HintPanel->setWordWrap(true);
    HintPanel->setFrameShape(QFrame::StyledPanel);
    HintPanel->setContentsMargins(6, 0, 6, 0);
    v->addWidget(HintPanel);

    ImageUNK = drivePicture(this, "ImageUNK", "drive-unknown");
    ImageNOR = drivePicture(this, "ImageNOR", "drive-noroot");
    ImageUSB = drivePicture(this, "ImageUSB", "drive-usb");
    ImageHDD = drivePicture(this, "ImageHDD", "drive-hdd");
    ImageREM = drivePicture(this, "ImageREM", "drive-remote");
    ImageOPT = drivePicture(this, "ImageOPT", "drive-optical");
    ImageRAM = drivePicture(this, "ImageRAM", "drive-ram");

    drawPictures();

    connect(&m_choice, &BrowserChoice::changed, this, &TForm3::showChoice);
    connect(CBRememberBrowser, &QCheckBox::toggled, &m_choice, &BrowserChoice::setRemember);
    connect(Edit2, &QLineEdit::textChanged, &m_choice, &BrowserChoice::setTestUrl);
    connect(cyBrowserPathOpen, &QToolButton::clicked, this, &TForm3::cyBrowserPathOpenClick);
    connect(cyAdvSpeedButton1, &QToolButton::clicked, this, &TForm3::cyAdvSpeedButton1Click);
    connect(cySetBrowser, &QToolButton::clicked, this, &TForm3::cySetBrowserClick);
    connect(cyResetOptions, &QToolButton::clicked, this, &TForm3::cyResetOptionsClick);
    connect(cyReloadOptions, &QToolButton::clicked, this, &TForm3::ReadIniFile);
    connect(cyDriveInfo, &QToolButton::clicked, this, &TForm3::cyDriveInfoClick);
    connect(cyAdvSpeedButton7, &QToolButton::clicked, this, &TForm3::cyAdvSpeedButton7Click);
    connect(cyClose, &QToolButton::clicked, this, &TForm3::cyCloseClick);
    showChoice();
}

void TForm3::FormCreate() {
    setReloadEnabled(m_choice.FormCreate(m_services.platform.paths.iniPath()));
}

void TForm3::ReadIniFile() {
    setReloadEnabled(m_choice.ReadIniFile(m_services.platform.paths.iniPath()));
}

void TForm3::setReloadEnabled(bool enabled) {
    cyReloadOptions->setEnabled(enabled);
}

QLabel* TForm3::pictureOf(DriveType type) const {
    switch (type) {
    case DriveType::Unknown:
        return ImageUNK;
    case DriveType::NoRoot:
        return ImageNOR;
    case DriveType::Removable:
        return ImageUSB;
    case DriveType::Fixed:
        return ImageHDD;
    case DriveType::Remote:
        return ImageREM;
    case DriveType::Optical:
        return ImageOPT;
    case DriveType::RamDisk:
        return ImageRAM;
    }
    return ImageUNK;
}

// The pictures are drawn in the palette's ink: drawn again when the theme changes it.
void TForm3::drawPictures() {
    for (QLabel* l : {ImageUNK, ImageNOR, ImageUSB, ImageHDD, ImageREM, ImageOPT, ImageRAM})
        l->setPixmap(picture(l->property("picture").toString()).pixmap(kPictureSize, kPictureSize));
}

void TForm3::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        drawPictures();
        ImageStatus->setPixmap(pictureOf(m_choice.driveType())->pixmap());
    }
}

void TForm3::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shownBefore)
        return;
    // Centred on the screen the first time; afterwards it comes back where the user left it.
    m_shownBefore = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm3::showChoice() {
    LabelEXE->setText(m_choice.currentBrowser());
    CBRememberBrowser->setChecked(m_choice.remember());
    Edit1->setText(m_choice.browserPath());
    Edit1->setCursorPosition(0);
    if (Edit2->text() != m_choice.testUrl())
        Edit2->setText(m_choice.testUrl());
    ImageStatus->setPixmap(pictureOf(m_choice.driveType())->pixmap());
    EnableButton();
}

void TForm3::EnableButton() {
    cySetBrowser->setEnabled(m_choice.RelTest());
}

void TForm3::cyBrowserPathOpenClick() {
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

void TForm3::cyAdvSpeedButton1Click() {
    m_launcher.testBrowser(Edit2->text());
}

void TForm3::cySetBrowserClick() {
    m_choice.SetBrowser();
}

void TForm3::cyResetOptionsClick() {
    m_choice.Reset();
}

void TForm3::cyDriveInfoClick() {
    emit driveUsageRequested();
}

void TForm3::cyAdvSpeedButton7Click() {
    m_services.dialogs->message(MessageKind::Warning, QString::fromLatin1(kUsageInformation), Buttons::Ok);
}

void TForm3::cyCloseClick() {
    hide();
}

} // namespace clipvane
