#pragma once
#include "app/Services.h"

#include <QWidget>

namespace clipvane {

// Integrated browser. The web engine is loaded when the window is first shown, never at start-up.
// Created hidden at start-up, shown by its command; its content arrives with its own work.
class TFormNav : public QWidget {
    Q_OBJECT
public:
    explicit TFormNav(Services services, QWidget* parent = nullptr);

private:
    Services m_services;
};

} // namespace clipvane
