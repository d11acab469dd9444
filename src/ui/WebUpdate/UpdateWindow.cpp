#include "UpdateWindow.h"

#include "ui/widgets/Controls.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/ToolBar.h"

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

} // namespace

struct UpdateWindow::Ui {
    QToolButton* checkButton = nullptr;    // cyCheckUpdate
    QToolButton* downloadButton = nullptr; // cyDownloadUpdate
    QToolButton* logButton = nullptr;      // cyCheckLog
    QToolButton* closeButton = nullptr;    // cyClose
    QGroupBox* versionsBox = nullptr;      // GroupBox1
    QLabel* edition = nullptr;             // Label5
    QLabel* localVersion = nullptr;        // Label6
    QLabel* webVersion = nullptr;          // Label7
    QLabel* status = nullptr;              // Label8
    QWidget* updatePicture = nullptr;      // Image1
    QLabel* hintPanel = nullptr;           // HintPanel
};

UpdateWindow::UpdateWindow(Services services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui>()), m_services(services) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Clipvane Web Update"));
    const PlatformServices& p = m_services.platform;
    m_updater = new WebUpdater(
        {*p.connectivity, *p.http, *p.resolver, *p.machine, *p.shell, *m_services.dialogs},
        UpdateAddresses::forSite(m_services.addresses.website), localVersion(), buildEdition(), this);
    buildUi();
    // Creation: edition, local version, and "Unknown" until a check ends. No network here.
    showLabels();
    connect(m_updater, &WebUpdater::labelsChanged, this, &UpdateWindow::showLabels);
    connect(m_ui->checkButton, &QToolButton::clicked, this, &UpdateWindow::cyCheckUpdateClick);
    connect(m_ui->downloadButton, &QToolButton::clicked, this, &UpdateWindow::cyDownloadUpdateClick);
    connect(m_ui->logButton, &QToolButton::clicked, this, &UpdateWindow::cyCheckLogClick);
    connect(m_ui->closeButton, &QToolButton::clicked, this, &UpdateWindow::cyCloseClick);
}

UpdateWindow::~UpdateWindow() = default;

void UpdateWindow::buildUi() {
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* toolBar = named(new QWidget(this), "Panel1");
    toolBar->setGeometry(0, 0, kWidth, kToolBarHeight);
    const QList<QToolButton*> buttons = toolButtons(
        toolBar, {{"cyCheckUpdate", "check-update", "Check", "|Check on line for update..."},
                  {"cyDownloadUpdate", "download-update", "Download",
                   "|Download the latest version of the software with the system default browser"},
                  {"cyCheckLog", "update-log", "Update log",
                   "|View the web update log with the system default browser"},
                  {"cyClose", "close-window", "Close", "|Close Clipvane Web Update dialog window"}});
    m_ui->checkButton = buttons[0];
    m_ui->downloadButton = buttons[1];
    m_ui->logButton = buttons[2];
    m_ui->closeButton = buttons[3];
    const int lefts[] = {8, 72, 136, 442};
    for (int i = 0; i < buttons.size(); ++i)
        buttons[i]->move(lefts[i], (kToolBarHeight - 48) / 2);

    const int infoHeight = kHeight - kToolBarHeight - kHintHeight;
    m_ui->versionsBox = named(new QGroupBox(QStringLiteral("Update information"), this), "GroupBox1");
    m_ui->versionsBox->setGeometry(6, kToolBarHeight, kGroupWidth - 6, infoHeight - 4);
    setHint(m_ui->versionsBox, QStringLiteral("|This frame groups the update information"));
    struct Row {
        const char* caption;
        const char* captionName;
        QLabel** value;
        const char* valueName;
        const char* hint;
    };
    const Row rows[] = {
        {"Clipvane is:", "Label1", &m_ui->edition, "Label5", "|Show which edition of Clipvane is running"},
        {"Current version is:", "Label2", &m_ui->localVersion, "Label6",
         "|Show which version of Clipvane is running"},
        {"Web version is:", "Label3", &m_ui->webVersion, "Label7",
         "|Show the current on line version of Clipvane"},
        {"Version status:", "Label4", &m_ui->status, "Label8", "|Show the status of Clipvane local version"},
    };
    QFont bold = font();
    bold.setBold(true);
    int top = 30;
    for (const Row& row : rows) {
        auto* caption =
            named(new QLabel(QString::fromLatin1(row.caption), m_ui->versionsBox), row.captionName);
        caption->setGeometry(10, top, 118, 22);
        auto* value = named(new QLabel(m_ui->versionsBox), row.valueName);
        value->setTextFormat(Qt::PlainText); // the web version comes from a server
        value->setFont(bold);
        value->setGeometry(130, top, kGroupWidth - 6 - 136, 22);
        setHint(caption, QString::fromLatin1(row.hint));
        setHint(value, QString::fromLatin1(row.hint));
        *row.value = value;
        top += 36;
    }

    m_ui->updatePicture =
        named(new PictureBox(picture(QStringLiteral("web-update-art")), QSize(64, 48), this), "Image1");
    m_ui->updatePicture->setGeometry(kGroupWidth + 8, kToolBarHeight + 6, kWidth - kGroupWidth - 16,
                                     infoHeight - 12);

    m_ui->hintPanel = hintPanel(this, kHintHeight);
    m_ui->hintPanel->setGeometry(0, kHeight - kHintHeight, kWidth, kHintHeight);
    const QString waiting = QStringLiteral(
        "Here appears all the hints. Hover over a list, button, ... to display a hint about it");
    m_ui->hintPanel->setText(waiting);
    setHint(m_ui->hintPanel, QLatin1Char('|') + waiting);
}

void UpdateWindow::showLabels() {
    m_ui->edition->setText(m_updater->editionText());
    m_ui->localVersion->setText(m_updater->localVersion());
    m_ui->webVersion->setText(m_updater->webVersion());
    m_ui->status->setText(m_updater->status());
}

void UpdateWindow::cyCheckUpdateClick() {
    m_updater->check();
}

void UpdateWindow::cyDownloadUpdateClick() {
    m_updater->download();
}

void UpdateWindow::cyCheckLogClick() {
    m_updater->openLog();
}

void UpdateWindow::cyCloseClick() {
    close();
}

bool UpdateWindow::event(QEvent* event) {
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
