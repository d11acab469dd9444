#pragma once
#include "app/Services.h"

#include <QWidget>

namespace clipvane {

// Choice of the browser that opens URLs.
// Created hidden at start-up, shown by its command; its content arrives with its own work.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(Services services, QWidget* parent = nullptr);

private:
    Services m_services;
};

} // namespace clipvane
