#pragma once
#include "platform/Services.h"

#include <QWidget>
#include <memory>

namespace clipvane {

struct DriveTable;

// Drive information ("All drive information"): every drive grouped by type with its free, used and total
// megabytes and a TOTAL row. Created hidden at start-up; each run of DriveUsage builds the table anew.
class DriveInfoWindow : public QWidget {
    Q_OBJECT
public:
    explicit DriveInfoWindow(Services services, QWidget* parent = nullptr);
    ~DriveInfoWindow() override;

    // The creation steps: the header row.
    void FormCreate();
    // Rebuilds the drive table and shows the window (it stays open with the new contents).
    void DriveUsage();
    // Fills the grid below its header.
    void showTable(const DriveTable& table);
    void cyCloseClick();

private:
    struct Ui; // the controls, named for their roles
    std::unique_ptr<Ui> m_ui;
    Services m_services;
};

} // namespace clipvane
