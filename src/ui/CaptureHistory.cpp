#include "CaptureHistory.h"

#include "history/HistoryTable.h"

namespace clipvane {

TForm5::TForm5(Services services, HistoryTable& history, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_history(history) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Capture History"));
    // Creation: the header texts, then (with the history file) the default history, then a blank last row.
    m_history.writeHeaderRow();
    m_history.EnsureBlankLastRow();
}

} // namespace clipvane
