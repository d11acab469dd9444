#pragma once
#include "platform/Drives.h"
#include "platform/Services.h"

#include <QString>
#include <QWidget>
#include <memory>

class QLabel;

namespace clipvane {

class BrowserChoice;
class UrlLauncher;

// Choice of the browser that opens URLs ("Set Clipvane default internet browser").
// Created hidden at start-up, shown by its command; it shows the browser choice and runs its commands.
class BrowserChoiceWindow : public QWidget {
    Q_OBJECT
public:
    BrowserChoiceWindow(Services services, BrowserChoice& choice, UrlLauncher& launcher,
                        QWidget* parent = nullptr);
    ~BrowserChoiceWindow() override;

    // The creation steps, run by the composition root right after construction.
    void FormCreate();
    // Reads the "Navigation" section into the window; also the reload button's command.
    void ReadIniFile();
    // The reload button follows the preference file: a save elsewhere may have created it.
    void setReloadEnabled(bool enabled);

    // Handlers
    void cyBrowserPathOpenClick();
    void cyAdvSpeedButton1Click();
    void cySetBrowserClick();
    void cyResetOptionsClick();
    void cyCloseClick();
    // Set browser is enabled exactly when a browser is chosen.
    void EnableButton();

    // The picture of a drive type (one of the hidden pictures ImageUNK... ImageRAM).
    QLabel* pictureOf(DriveType type) const;

signals:
    // Drive information: the drive table is rebuilt and shown.
    void driveUsageRequested();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Ui; // the controls, named for their roles
    std::unique_ptr<Ui> m_ui;
    void showChoice();
    void showUsageInformation();
    void drawPictures();

    Services m_services;
    BrowserChoice& m_choice;
    UrlLauncher& m_launcher;
    bool m_shownBefore = false;
};

} // namespace clipvane
