#pragma once
#include "platform/Services.h"
#include "prefs/Preferences.h"

#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace clipvane {

// Choice of the browser that opens URLs.
// Created hidden at start-up, shown by its command. It owns the browser choice; launching arrives with
// its own work.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(Services services, QWidget* parent = nullptr);

    // The creation steps, run by the composition root right after construction.
    void FormCreate();
    // Reads the "Navigation" section into the window; also the reload button's command.
    void ReadIniFile();
    // The browser choice as the preference writer stores it.
    BrowserChoiceOptions browserChoiceOptions() const;
    // After a save of the options: reloading is possible once the preference file exists.
    void setReloadEnabled(bool enabled);

    // The browser choice
    bool RelTest = false;
    QString RelPath;
    QString RelBrowser;

    // Controls (named as their objectName)
    QLabel* LabelEXE;
    QCheckBox* CBRememberBrowser;
    QLineEdit* Edit1; // the browser path
    QLineEdit* Edit2; // the test URL
    QToolButton* cyReloadOptions;
    QLabel* HintPanel;

private:
    Services m_services;
};

} // namespace clipvane
