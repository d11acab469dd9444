#pragma once
#include "platform/Services.h"

#include <QWidget>

namespace clipvane {

// About box.
// Created hidden at start-up, shown by its command; its content arrives with its own work.
class TAboutBox : public QWidget {
    Q_OBJECT
public:
    explicit TAboutBox(Services services, QWidget* parent = nullptr);

private:
    Services m_services;
};

} // namespace clipvane
