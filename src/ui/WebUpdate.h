#pragma once
#include "platform/Services.h"

#include <QWidget>

namespace clipvane {

// Online update check.
// Created hidden at start-up, shown by its command; its content arrives with its own work.
class TForm6 : public QWidget {
    Q_OBJECT
public:
    explicit TForm6(Services services, QWidget* parent = nullptr);

private:
    Services m_services;
};

} // namespace clipvane
