#pragma once
#include "platform/Services.h"

#include <QWidget>
#include <memory>

namespace clipvane {

class WebUpdater;

// Clipvane Web Update: the running edition and version against the version published on the maker's
// site. Created hidden at start-up; every activation checks, except the one that comes back from one of
// the window's own message boxes.
class UpdateWindow : public QWidget {
    Q_OBJECT
public:
    explicit UpdateWindow(Services services, QWidget* parent = nullptr);
    ~UpdateWindow() override;

    void cyCheckUpdateClick();
    void cyDownloadUpdateClick();
    void cyCheckLogClick();
    void cyCloseClick();

    WebUpdater& updater() const { return *m_updater; }

protected:
    bool event(QEvent* event) override;

private:
    struct Ui; // the controls, named for their roles
    std::unique_ptr<Ui> m_ui;
    void buildUi();
    void showLabels();

    Services m_services;
    WebUpdater* m_updater = nullptr;
    bool m_backFromOwnMessage = false;
};

} // namespace clipvane
