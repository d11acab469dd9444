#pragma once
#include "platform/Services.h"

#include <QWidget>

class QTableWidget;
class QToolButton;

namespace clipvane {

struct DriveTable;

// Drive information ("All drive information"): every drive grouped by type with its free, used and total
// megabytes and a TOTAL row. Created hidden at start-up; each run of DriveUsage builds the table anew.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(Services services, QWidget* parent = nullptr);

    // The creation steps: the header row.
    void FormCreate();
    // Rebuilds the drive table and shows the window (it stays open with the new contents).
    void DriveUsage();
    // Fills the grid below its header.
    void showTable(const DriveTable& table);
    void cyCloseClick();

    // Controls (named as their objectName)
    QTableWidget* SG;
    QToolButton* cyClose;

private:
    Services m_services;
};

} // namespace clipvane
