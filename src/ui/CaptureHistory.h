#pragma once
#include "app/Services.h"

#include <QWidget>

namespace clipvane {

class HistoryTable;

// Capture History.
// Created hidden at start-up, shown by its command; its content arrives with its own work.
// It owns the history table in the sense of the session: the table is made by the composition root before
// any window, so that a capture during the creation of the windows already has its table, and lives as long
// as this window.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    TForm5(Services services, HistoryTable& history, QWidget* parent = nullptr);

    HistoryTable& history() { return m_history; }

private:
    Services m_services;
    HistoryTable& m_history;
};

} // namespace clipvane
