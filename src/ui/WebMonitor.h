#pragma once
#include "platform/Services.h"

#include <QWidget>

class QLineEdit;

namespace clipvane {

// Integrated browser. The web engine is loaded when the window is first shown, never at start-up.
// Created hidden at start-up, shown by its command; its content arrives with its own work.
class TFormNav : public QWidget {
    Q_OBJECT
public:
    explicit TFormNav(Services services, QWidget* parent = nullptr);

    // The creation steps, run by the composition root right after construction.
    void FormCreate();
    // Reads the window's placement from the "WB Placement" section.
    void LoadINIFile();

    QLineEdit* Edit1; // the address bar

protected:
    void showEvent(QShowEvent* event) override;

private:
    Services m_services;
    bool m_shownOnce = false;
};

} // namespace clipvane
