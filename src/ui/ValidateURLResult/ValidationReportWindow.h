#pragma once
#include "platform/Services.h"

#include <QWidget>
#include <functional>
#include <memory>

namespace clipvane {

class CheckListModel;
class CheckListView;
class UrlLauncher;
class ValidationReport;
class WidestEntry;

// Validation report of the ticked URLs: the valid and invalid lists of the last batch validation, their
// commands, and the sync into a URL list. Created hidden at start-up; the lists outlive hiding.
class ValidationReportWindow : public QWidget {
    Q_OBJECT
public:
    // doubleClickMode: the main window's double-click mode (0 launch, 1 show, -1 none), read at each use.
    ValidationReportWindow(Services services, ValidationReport& report, UrlLauncher& launcher,
                           std::function<int()> doubleClickMode, QWidget* parent = nullptr);
    ~ValidationReportWindow() override;

    // Shows the window (not modal), or keeps it open with the new lists.
    void showReport();
    // Sizes each list's horizontal scroll range to its widest text, then enables append all by content.
    void HorScrollBar();

    void CLBValidDblClick();
    // The valid list's hint names what a double click does in the main window's mode (0 launch, 1 show).
    void showDoubleClickHint(int mode);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Ui; // the controls, named for their roles
    std::unique_ptr<Ui> m_ui;
    void buildControls();
    void connectControls();
    void showButtons();
    void followSelection(CheckListView* view, CheckListModel& model);
    void fitColumn(CheckListView* view, const WidestEntry& widths);

    Services m_services;
    ValidationReport& m_report;
    UrlLauncher& m_launcher;
    WidestEntry* m_validWidths = nullptr; // owned by their views
    WidestEntry* m_invalidWidths = nullptr;
    std::function<int()> m_doubleClickMode;
};

} // namespace clipvane
