#pragma once
#include "platform/Services.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTimer;
class QToolButton;

namespace clipvane {

// The About box: name, version, edition, live memory use and the licence, with e-mail, home page and
// update actions. Created hidden at start-up; its memory figure is refreshed only while it is shown.
class TAboutBox : public QWidget {
    Q_OBJECT
public:
    explicit TAboutBox(Services services, QWidget* parent = nullptr);

    void Timer1Timer();
    void cyEmailAuthorClick();
    void cyAdvSpeedButton1Click();
    void cyAdvSpeedButton2Click();
    void cyCloseClick();

    QWidget* Panel1 = nullptr;
    QWidget* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QWidget* Image1 = nullptr;
    QLabel* Version = nullptr;
    QLabel* Label1 = nullptr; // edition
    QLabel* Label2 = nullptr; // memory in use
    QLabel* Notice = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QToolButton* cyEmailAuthor = nullptr;
    QToolButton* cyAdvSpeedButton1 = nullptr; // home page
    QToolButton* cyAdvSpeedButton2 = nullptr; // web update
    QToolButton* cyClose = nullptr;
    QLabel* HintPanel = nullptr;
    QTimer* Timer1 = nullptr;

signals:
    // The web update window is asked for; the composition root shows it.
    void updateRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildUi();

    Services m_services;
};

// The licence the About box shows: the project's LICENSE file, compiled in.
QString licenceText();

} // namespace clipvane
