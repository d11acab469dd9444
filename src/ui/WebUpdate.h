#pragma once
#include "platform/Services.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QToolButton;

namespace clipvane {

class WebUpdater;

// Clipvane Web Update: the running edition and version against the version published on the maker's
// site. Created hidden at start-up; every activation checks, except the one that comes back from one of
// the window's own message boxes.
class TForm6 : public QWidget {
    Q_OBJECT
public:
    explicit TForm6(Services services, QWidget* parent = nullptr);
    ~TForm6() override;

    void cyCheckUpdateClick();
    void cyDownloadUpdateClick();
    void cyCheckLogClick();
    void cyCloseClick();

    WebUpdater& updater() const { return *m_updater; }

    QToolButton* cyCheckUpdate = nullptr;
    QToolButton* cyDownloadUpdate = nullptr;
    QToolButton* cyCheckLog = nullptr;
    QToolButton* cyClose = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label5 = nullptr; // edition
    QLabel* Label6 = nullptr; // local version
    QLabel* Label7 = nullptr; // web version
    QLabel* Label8 = nullptr; // status
    QWidget* Image1 = nullptr;
    QLabel* HintPanel = nullptr;

protected:
    bool event(QEvent* event) override;

private:
    void buildUi();
    void showLabels();

    Services m_services;
    WebUpdater* m_updater = nullptr;
    bool m_backFromOwnMessage = false;
};

} // namespace clipvane
