#pragma once
#include "platform/Services.h"

#include <QWidget>

namespace clipvane {

// Validation report of the ticked URLs.
// Created hidden at start-up, shown by its command; its content arrives with its own work.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(Services services, QWidget* parent = nullptr);

private:
    Services m_services;
};

} // namespace clipvane
