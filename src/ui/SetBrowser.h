#pragma once
#include "platform/Drives.h"
#include "platform/Services.h"

#include <QString>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace clipvane {

class BrowserChoice;
class UrlLauncher;

// Choice of the browser that opens URLs ("Set Clipvane default internet browser").
// Created hidden at start-up, shown by its command; it shows the browser choice and runs its commands.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    TForm3(Services services, BrowserChoice& choice, UrlLauncher& launcher, QWidget* parent = nullptr);

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
    void cyDriveInfoClick();
    void cyAdvSpeedButton7Click();
    void cyCloseClick();
    // Set browser is enabled exactly when a browser is chosen.
    void EnableButton();

    // The picture of a drive type (one of the hidden pictures ImageUNK... ImageRAM).
    QLabel* pictureOf(DriveType type) const;

    // Controls (named as their objectName)
    QGroupBox* GroupBox1;
    QLabel* LabelEXE;
    QCheckBox* CBRememberBrowser;
    QLabel* Label2;
    QLineEdit* Edit1; // the browser path
    QToolButton* cyBrowserPathOpen;
    QLabel* Label3;
    QLineEdit* Edit2; // the test URL
    QToolButton* cyAdvSpeedButton1;
    QToolButton* cySetBrowser;
    QLabel* ImageStatus;
    QToolButton* cyResetOptions;
    QToolButton* cyReloadOptions;
    QToolButton* cyDriveInfo;
    QToolButton* cyAdvSpeedButton7;
    QToolButton* cyClose;
    QLabel* HintPanel;
    QLabel *ImageUNK, *ImageNOR, *ImageUSB, *ImageHDD, *ImageREM, *ImageOPT, *ImageRAM;

signals:
    // Drive information: the drive table is rebuilt and shown.
    void driveUsageRequested();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showChoice();
    void drawPictures();

    Services m_services;
    BrowserChoice& m_choice;
    UrlLauncher& m_launcher;
    bool m_shownBefore = false;
};

} // namespace clipvane
