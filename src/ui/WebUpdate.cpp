#include "WebUpdate.h"

#include "widgets/Controls.h"
#include "widgets/Hints.h"
#include "widgets/PictureBox.h"
#include "widgets/Pictures.h"

#include "update/BuildInfo.h"
#include "update/WebUpdater.h"

#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QToolButton>

namespace clipvane {

namespace {

constexpr int kWidth = 501;
constexpr int kHeight = 296;
constexpr int kToolBarHeight = 60;
constexpr int kHintHeight = 41;
constexpr int kGroupWidth = 233;

QToolButton* pictureButton(QWidget* parent, const char* name, const char* picture, const QString& caption,
                           const QString& hint, int left) {
    auto* b = named(new QToolButton(parent), name);
    b->setAccessibleName(caption);
    b->setIcon(clipvane::picture(QString::fromLatin1(picture)));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setAutoRaise(true);
    b->setGeometry(left, (kToolBarHeight - 48) / 2, 48, 48);
    setHint(b, hint);
    return b;
}

} // namespace

TForm6::TForm6(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Clipvane Web Update"));
    const PlatformServices& p = m_services.platform;
    m_updater = new WebUpdater(
        {*p.connectivity, *p.http, *p.resolver, *p.machine, *p.shell, *m_services.dialogs},
        UpdateAddresses::forSite(m_services.addresses.website), localVersion(), buildEdition(), this);
    buildUi();
    // Creation: edition, local version, and "Unknown" until a check ends. No network here.
    showLabels();
    connect(m_updater, &WebUpdater::labelsChanged, this, &TForm6::showLabels);
    connect(cyCheckUpdate, &QToolButton::clicked, this, &TForm6::cyCheckUpdateClick);
    connect(cyDownloadUpdate, &QToolButton::clicked, this, &TForm6::cyDownloadUpdateClick);
    connect(cyCheckLog, &QToolButton::clicked, this, &TForm6::cyCheckLogClick);
    connect(cyClose, &QToolButton::clicked, this, &TForm6::cyCloseClick);
}

TForm6::~TForm6() = default;

void TForm6::buildUi() {
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* toolBar = named(new QWidget(this), "Panel1");
    toolBar->setGeometry(0, 0, kWidth, kToolBarHeight);
    cyCheckUpdate = pictureButton(toolBar, "cyCheckUpdate", "check-update", QStringLiteral("Check"),
                                  QStringLiteral("|Check on line for update..."), 8);
    cyDownloadUpdate = pictureButton(
        toolBar, "cyDownloadUpdate", "download-update", QStringLiteral("Download"),
        QStringLiteral("|Download the latest version of the software with the system default browser"), 72);
    cyCheckLog =
        pictureButton(toolBar, "cyCheckLog", "update-log", QStringLiteral("Update log"),
                      QStringLiteral("|View the web update log with the system default browser"), 136);
    cyClose = pictureButton(toolBar, "cyClose", "close-window", QStringLiteral("Close"),
                            QStringLiteral("|Close Clipvane Web Update dialog window"), 442);

    const int infoHeight = kHeight - kToolBarHeight - kHintHeight;
    GroupBox1 = named(new QGroupBox(QStringLiteral("Update information"), this), "GroupBox1");
    GroupBox1->setGeometry(6, kToolBarHeight, kGroupWidth - 6, infoHeight - 4);
    setHint(GroupBox1, QStringLiteral("|This frame groups the update information"));
    struct Row {
        const char* caption;
        const char* captionName;
        QLabel** value;
        const char* valueName;
        const char* hint;
    };
    const Row rows[] = {
        {"Clipvane is:", "Label1", &Label5, "Label5", "|Show which edition of Clipvane is running"},
        {"Current version is:", "Label2", &Label6, "Label6", "|Show which version of Clipvane is running"},
        {"Web version is:", "Label3", &Label7, "Label7", "|Show the current on line version of Clipvane"},
        {"Version status:", "Label4", &Label8, "Label8", "|Show the status of Clipvane local version"},
    };
    QFont bold = font();
    bold.setBold(true);
    int top = 30;
    for (const Row& row : rows) {
        auto* caption = named(new QLabel(QString::fromLatin1(row.caption), GroupBox1), row.captionName);
        caption->setGeometry(10, top, 118, 22);
        auto* value = named(new QLabel(GroupBox1), row.valueName);
        value->setTextFormat(Qt::PlainText); // the web version comes from a server
        value->setFont(bold);
        value->setGeometry(130, top, kGroupWidth - 6 - 136, 22);
        setHint(caption, QString::fromLatin1(row.hint));
        setHint(value, QString::fromLatin1(row.hint));
        *row.value = value;
        top += 36;
    }

    Image1 = named(new PictureBox(picture(QStringLiteral("web-update-art")), QSize(64, 48), this), "Image1");
    Image1->setGeometry(kGroupWidth + 8, kToolBarHeight + 6, kWidth - kGroupWidth - 16, infoHeight - 12);

    HintPanel = named(new QLabel(this), "HintPanel");
    HintPanel->setGeometry(0, kHeight - kHintHeight, kWidth, kHintHeight);
    HintPanel->setTextFormat(Qt::PlainText);
    HintPanel->setWordWrap(true);
    HintPanel->setFrameShape(QFrame::StyledPanel);
    HintPanel->setContentsMargins(6, 0, 6, 0);
    const QString waiting = QStringLiteral(
        "Here appears all the hints. Hover over a list, button, ... to display a hint about it");
    HintPanel->setText(waiting);
    setHint(HintPanel, QLatin1Char('|') + waiting);
}

void TForm6::showLabels() {
    Label5->setText(m_updater->editionText());
    Label6->setText(m_updater->localVersion());
    Label7->setText(m_updater->webVersion());
    Label8->setText(m_updater->status());
}

void TForm6::cyCheckUpdateClick() {
    m_updater->check();
}

void TForm6::cyDownloadUpdateClick() {
    m_updater->download();
}

void TForm6::cyCheckLogClick() {
    m_updater->openLog();
}

void TForm6::cyCloseClick() {
    close();
}

bool TForm6::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowDeactivate:
        // Our own message box takes the activation; giving it back is no reason to check again.
        if (m_updater->isShowingMessage())
            m_backFromOwnMessage = true;
        break;
    case QEvent::WindowActivate:
        if (m_backFromOwnMessage)
            m_backFromOwnMessage = false;
        else
            cyCheckUpdateClick();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

} // namespace clipvane
