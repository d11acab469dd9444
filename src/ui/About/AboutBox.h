#pragma once
#include "platform/Services.h"

#include <QWidget>
#include <memory>

namespace clipvane {

// The About box: name, version, edition, live memory use and the licence, with e-mail, home page and
// update actions. Created hidden at start-up; its memory figure is refreshed only while it is shown.
class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(Services services, QWidget* parent = nullptr);
    ~AboutBox() override;

    void Timer1Timer();
    void cyEmailAuthorClick();
    void cyAdvSpeedButton1Click();
    void cyAdvSpeedButton2Click();
    void cyCloseClick();

signals:
    // The web update window is asked for; the composition root shows it.
    void updateRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Ui; // the controls, named for their roles
    std::unique_ptr<Ui> m_ui;
    void buildUi();

    Services m_services;
};

// The licence the About box shows: the project's LICENSE file, compiled in.
QString licenceText();

} // namespace clipvane
