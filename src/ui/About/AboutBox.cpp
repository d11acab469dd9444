#include "AboutBox.h"

#include "ui/widgets/Controls.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/ToolBar.h"

#include "platform/LocalMachine.h"
#include "platform/Shell.h"
#include "update/BuildInfo.h"
#include "update/MailTo.h"
#include "update/MemoryText.h"
#include "update/UpdateCheck.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace clipvane {

namespace {

constexpr int kWidth = 299;
constexpr int kHeight = 479;
constexpr int kHintHeight = 41;

QLabel* centredLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& hint) {
    auto* l = named(new QLabel(parent), name);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setGeometry(geometry);
    setHint(l, hint);
    return l;
}

} // namespace

QString licenceText() {
    QFile file(QStringLiteral(":/LICENSE"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

namespace {

// The file is wrapped for a terminal; the narrow box wraps by itself, so each paragraph is one line.
QString asParagraphs(const QString& text) {
    QStringList paragraphs;
    for (const QString& block : text.split(QStringLiteral("\n\n")))
        paragraphs.append(block.simplified());
    paragraphs.removeAll(QString());
    return paragraphs.join(QStringLiteral("\n\n"));
}

} // namespace

struct AboutBox::Ui {
    QWidget* panel = nullptr;              // Panel1
    QWidget* programIcon = nullptr;        // ProgramIcon
    QLabel* productName = nullptr;         // ProductName
    QWidget* makerLogo = nullptr;          // Image1
    QLabel* version = nullptr;             // Version
    QLabel* edition = nullptr;             // Label1
    QLabel* memoryUse = nullptr;           // Label2
    QLabel* notice = nullptr;              // Notice
    QPlainTextEdit* licence = nullptr;     // Memo1
    QToolButton* emailButton = nullptr;    // cyEmailAuthor
    QToolButton* homePageButton = nullptr; // cyAdvSpeedButton1
    QToolButton* updateButton = nullptr;   // cyAdvSpeedButton2
    QToolButton* closeButton = nullptr;    // cyClose
    QLabel* hintPanel = nullptr;           // HintPanel
    QTimer* memoryTimer = nullptr;         // Timer1
};

AboutBox::AboutBox(Services services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui>()), m_services(services) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    buildUi();

    m_ui->memoryTimer = named(new QTimer(this), "Timer1");
    m_ui->memoryTimer->setInterval(100);
    connect(m_ui->memoryTimer, &QTimer::timeout, this, &AboutBox::Timer1Timer);
    connect(m_ui->emailButton, &QToolButton::clicked, this, &AboutBox::cyEmailAuthorClick);
    connect(m_ui->homePageButton, &QToolButton::clicked, this, &AboutBox::cyAdvSpeedButton1Click);
    connect(m_ui->updateButton, &QToolButton::clicked, this, &AboutBox::cyAdvSpeedButton2Click);
    connect(m_ui->closeButton, &QToolButton::clicked, this, &AboutBox::cyCloseClick);

    // Creation: the memory at this moment, then version and edition.
    m_ui->memoryUse->setText(memoryText(kTotalMemoryUsed, m_services.platform.machine->residentSetBytes()));
    m_ui->version->setText(QStringLiteral("Version ") + localVersion());
    m_ui->edition->setText(buildEdition().label);
}

AboutBox::~AboutBox() = default;

void AboutBox::buildUi() {
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_ui->panel = named(new QWidget(this), "Panel1");
    m_ui->panel->setGeometry(0, 0, kWidth, kHeight);
    setHint(m_ui->panel, QStringLiteral("|Hover a control to know more"));

    m_ui->programIcon = named(new PictureBox(applicationIcon(), QSize(64, 64), m_ui->panel), "ProgramIcon");
    m_ui->programIcon->setGeometry(8, 8, 49, 45);
    setHint(m_ui->programIcon, QStringLiteral("|Clipvane icon"));

    m_ui->productName = named(new QLabel(QStringLiteral("Clipvane"), m_ui->panel), "ProductName");
    QFont large = m_ui->productName->font();
    large.setBold(true);
    large.setPixelSize(22);
    m_ui->productName->setFont(large);
    m_ui->productName->setGeometry(64, 14, 132, 34);
    setHint(m_ui->productName, QStringLiteral("|Official name of the software"));

    m_ui->makerLogo =
        named(new PictureBox(picture(QStringLiteral("maker-logo")), QSize(48, 48), m_ui->panel), "Image1");
    m_ui->makerLogo->setGeometry(201, 4, 90, 89);
    setHint(m_ui->makerLogo, QStringLiteral("|Quorbel Software Logo"));

    m_ui->version = centredLabel(m_ui->panel, "Version", QRect(4, 56, 194, 18),
                                 QStringLiteral("|Current version of Clipvane"));
    m_ui->edition = centredLabel(m_ui->panel, "Label1", QRect(4, 75, 194, 18),
                                 QStringLiteral("|Current edition of the software"));
    m_ui->memoryUse = centredLabel(m_ui->panel, "Label2", QRect(4, 97, kWidth - 8, 18),
                                   QStringLiteral("|Clipvane's true workset memory"));

    m_ui->notice =
        named(new QLabel(QStringLiteral("Clipvane is free software, released under the MIT License "
                                        "shown below."),
                         m_ui->panel),
              "Notice");
    m_ui->notice->setWordWrap(true);
    m_ui->notice->setAlignment(Qt::AlignCenter);
    m_ui->notice->setGeometry(8, 117, kWidth - 16, 30);

    m_ui->licence = named(new QPlainTextEdit(m_ui->panel), "Memo1");
    m_ui->licence->setPlainText(asParagraphs(licenceText()));
    m_ui->licence->setReadOnly(true);
    m_ui->licence->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_ui->licence->setTabChangesFocus(true);
    m_ui->licence->setGeometry((kWidth - 274) / 2, 148, 274, 241);
    setHint(m_ui->licence, QStringLiteral("|Please read this license carefully"));

    const QList<QToolButton*> buttons = toolButtons(
        m_ui->panel,
        {{"cyEmailAuthor", "email", "E-mail", "|Click to email the author with your default email client"},
         {"cyAdvSpeedButton1", "home-page", "Home page",
          "|Visit the homepage of Clipvane with default browser"},
         {"cyAdvSpeedButton2", "download-update", "Update", "|Download on line the latest update..."},
         {"cyClose", "close-window", "Close", "|Close the about box dialog window"}});
    m_ui->emailButton = buttons[0];
    m_ui->homePageButton = buttons[1];
    m_ui->updateButton = buttons[2];
    m_ui->closeButton = buttons[3];
    const int buttonsTop = kHeight - kHintHeight - 48;
    const int lefts[] = {8, 83, 158, 234};
    for (int i = 0; i < buttons.size(); ++i)
        buttons[i]->move(lefts[i], buttonsTop);

    m_ui->hintPanel = hintPanel(m_ui->panel, kHintHeight);
    m_ui->hintPanel->setGeometry(0, kHeight - kHintHeight, kWidth, kHintHeight);
    m_ui->hintPanel->setText(QStringLiteral("Hints appears here"));
    setHint(m_ui->hintPanel, QStringLiteral("|Hints appears here"));
}

void AboutBox::showEvent(QShowEvent* event) {
    m_ui->memoryTimer->start();
    QWidget::showEvent(event);
}

void AboutBox::hideEvent(QHideEvent* event) {
    // Closed, hidden or minimised: a box nobody sees does no work.
    m_ui->memoryTimer->stop();
    QWidget::hideEvent(event);
}

void AboutBox::Timer1Timer() {
    m_ui->memoryUse->setText(
        memoryText(kTotalSoftwareMemoryUsed, m_services.platform.machine->residentSetBytes()));
}

void AboutBox::cyEmailAuthorClick() {
    m_services.platform.shell->openMailTo(
        authorMailTo(m_services.addresses.authorEmail, m_ui->version->text(), m_ui->edition->text()));
}

void AboutBox::cyAdvSpeedButton1Click() {
    m_services.platform.shell->openUrl(QUrl(UpdateAddresses::forSite(m_services.addresses.website).homePage));
}

void AboutBox::cyAdvSpeedButton2Click() {
    emit updateRequested();
}

void AboutBox::cyCloseClick() {
    close();
}

} // namespace clipvane
