#pragma once
#include "app/Services.h"

#include <QWidget>

namespace clipvane {

// Capture History.
// Created hidden at start-up, shown by its command; its content arrives with its own work.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(Services services, QWidget* parent = nullptr);

private:
    Services m_services;
};

} // namespace clipvane
