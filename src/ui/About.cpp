#include "About.h"

#include "widgets/Controls.h"
#include "widgets/Hints.h"
#include "widgets/PictureBox.h"
#include "widgets/Pictures.h"

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

QToolButton* pictureButton(QWidget* parent, const char* name, const char* picture, const QString& caption,
                           const QString& hint, int left, int top) {
    auto* b = named(new QToolButton(parent), name);
    b->setAccessibleName(caption);
    b->setIcon(clipvane::picture(QString::fromLatin1(picture)));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setAutoRaise(true);
    b->setGeometry(left, top, 48, 48);
    setHint(b, hint);
    return b;
}

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

TAboutBox::TAboutBox(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    buildUi();

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TAboutBox::Timer1Timer);
    connect(cyEmailAuthor, &QToolButton::clicked, this, &TAboutBox::cyEmailAuthorClick);
    connect(cyAdvSpeedButton1, &QToolButton::clicked, this, &TAboutBox::cyAdvSpeedButton1Click);
    connect(cyAdvSpeedButton2, &QToolButton::clicked, this, &TAboutBox::cyAdvSpeedButton2Click);
    connect(cyClose, &QToolButton::clicked, this, &TAboutBox::cyCloseClick);

    // Creation: the memory at this moment, then version and edition.
    Label2->setText(memoryText(kTotalMemoryUsed, m_services.platform.machine->residentSetBytes()));
    Version->setText(QStringLiteral("Version ") + localVersion());
    Label1->setText(buildEdition().label);
}

void TAboutBox::buildUi() {
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Panel1 = named(new QWidget(this), "Panel1");
    Panel1->setGeometry(0, 0, kWidth, kHeight);
    setHint(Panel1, QStringLiteral("|Hover a control to know more"));

    ProgramIcon = named(new PictureBox(applicationIcon(), QSize(64, 64), Panel1), "ProgramIcon");
    ProgramIcon->setGeometry(8, 8, 49, 45);
    setHint(ProgramIcon, QStringLiteral("|Clipvane icon"));

    ProductName = named(new QLabel(QStringLiteral("Clipvane"), Panel1), "ProductName");
    QFont large = ProductName->font();
    large.setBold(true);
    large.setPixelSize(22);
    ProductName->setFont(large);
    ProductName->setGeometry(64, 14, 132, 34);
    setHint(ProductName, QStringLiteral("|Official name of the software"));

    Image1 = named(new PictureBox(picture(QStringLiteral("maker-logo")), QSize(48, 48), Panel1), "Image1");
    Image1->setGeometry(201, 4, 90, 89);
    setHint(Image1, QStringLiteral("|Quorbel Software Logo"));

    Version = centredLabel(Panel1, "Version", QRect(4, 56, 194, 18),
                           QStringLiteral("|Current version of Clipvane"));
    Label1 = centredLabel(Panel1, "Label1", QRect(4, 75, 194, 18),
                          QStringLiteral("|Current edition of the software"));
    Label2 = centredLabel(Panel1, "Label2", QRect(4, 97, kWidth - 8, 18),
                          QStringLiteral("|Clipvane's true workset memory"));

    Notice = named(new QLabel(QStringLiteral("Clipvane is free software, released under the MIT License "
                                             "shown below."),
                              Panel1),
                   "Notice");
    Notice->setWordWrap(true);
    Notice->setAlignment(Qt::AlignCenter);
    Notice->setGeometry(8, 117, kWidth - 16, 30);

    Memo1 = named(new QPlainTextEdit(Panel1), "Memo1");
    Memo1->setPlainText(asParagraphs(licenceText()));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    Memo1->setGeometry((kWidth - 274) / 2, 148, 274, 241);
    setHint(Memo1, QStringLiteral("|Please read this license carefully"));

    const int buttonsTop = kHeight - kHintHeight - 48;
    cyEmailAuthor = pictureButton(Panel1, "cyEmailAuthor", "email", QStringLiteral("E-mail"),
                                  QStringLiteral("|Click to email the author with your default email client"),
                                  8, buttonsTop);
    cyAdvSpeedButton1 =
        pictureButton(Panel1, "cyAdvSpeedButton1", "home-page", QStringLiteral("Home page"),
                      QStringLiteral("|Visit the homepage of Clipvane with default browser"), 83, buttonsTop);
    cyAdvSpeedButton2 =
        pictureButton(Panel1, "cyAdvSpeedButton2", "download-update", QStringLiteral("Update"),
                      QStringLiteral("|Download on line the latest update..."), 158, buttonsTop);
    cyClose = pictureButton(Panel1, "cyClose", "close-window", QStringLiteral("Close"),
                            QStringLiteral("|Close the about box dialog window"), 234, buttonsTop);

    HintPanel = named(new QLabel(Panel1), "HintPanel");
    HintPanel->setGeometry(0, kHeight - kHintHeight, kWidth, kHintHeight);
    HintPanel->setTextFormat(Qt::PlainText);
    HintPanel->setWordWrap(true);
    HintPanel->setFrameShape(QFrame::StyledPanel);
    HintPanel->setContentsMargins(6, 0, 6, 0);
    HintPanel->setText(QStringLiteral("Hints appears here"));
    setHint(HintPanel, QStringLiteral("|Hints appears here"));
}

void TAboutBox::showEvent(QShowEvent* event) {
    Timer1->start();
    QWidget::showEvent(event);
}

void TAboutBox::hideEvent(QHideEvent* event) {
    // Closed, hidden or minimised: a box nobody sees does no work.
    Timer1->stop();
    QWidget::hideEvent(event);
}

void TAboutBox::Timer1Timer() {
    Label2->setText(memoryText(kTotalSoftwareMemoryUsed, m_services.platform.machine->residentSetBytes()));
}

void TAboutBox::cyEmailAuthorClick() {
    m_services.platform.shell->openMailTo(
        authorMailTo(m_services.addresses.authorEmail, Version->text(), Label1->text()));
}

void TAboutBox::cyAdvSpeedButton1Click() {
    m_services.platform.shell->openUrl(QUrl(UpdateAddresses::forSite(m_services.addresses.website).homePage));
}

void TAboutBox::cyAdvSpeedButton2Click() {
    emit updateRequested();
}

void TAboutBox::cyCloseClick() {
    close();
}

} // namespace clipvane
