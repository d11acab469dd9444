#pragma once
#include "platform/Services.h"

#include <QWidget>
#include <memory>

namespace clipvane {

class Options;

// The windows the main window's commands show; the composition root shows them.
enum class PeerWindow { Report, About, BrowserChoice, Drives, Browser, History, Update };

// The main window's "Software Options" page: its controls show the options and change them, both ways.
// Saving and reading the preference file are the window's (they take its placement).
class OptionsPage : public QWidget {
    Q_OBJECT
public:
    OptionsPage(Services services, Options& options, QWidget* parent = nullptr);
    ~OptionsPage() override;

    void setReloadEnabled(bool enabled); // cyReloadOptions: only while the preference file exists

    // Handlers
    void cyResetOptionsClick();
    void cyAdvSpeedButton4Click();

signals:
    void saveRequested();   // cySaveOptions
    void reloadRequested(); // cyReloadOptions
    void applyRequested();  // Button1, the hidden Apply button of the theme
    // The user picked a theme, or the reset chose the first: it is to be put in force.
    void themeChosen();
    void showWindowRequested(clipvane::PeerWindow window);

private:
    struct Ui;

    void buildToolBar();
    void buildOptionGroups();
    void bindOptions();
    void selectDoubleClickMode(int mode);

    Services m_services;
    Options& m_options;
    std::unique_ptr<Ui> m_ui;
};

} // namespace clipvane
