#pragma once
#include "history/HistoryCommands.h"
#include "history/HistoryTools.h"
#include "platform/Services.h"

#include <QTableView>
#include <QWidget>
#include <memory>

class QLabel;

namespace clipvane {

class HistoryTable;
class UrlLauncher;

// The grid of the Capture History: row 0 of the table is its header, the last (blank) row is never
// edited, and dragging a row by its number moves it in the table itself.
class HistoryGrid : public QTableView {
    Q_OBJECT
public:
    explicit HistoryGrid(QWidget* parent = nullptr);
    void setHistory(HistoryTable* table);
    void setEditingOn(bool on);
    bool isEditing() const { return state() == EditingState; }
    using QTableView::edit;

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void rowDragged(int logical, int oldVisual, int newVisual);
    void hideHeaderRow();

    HistoryTable* m_table = nullptr;
    bool m_reverting = false;
};

// Capture History: the grid over the history table, its file commands, search, sort, duplicate removal,
// printing and the URL column export. Created hidden at start-up; closing only hides it.
class CaptureHistoryWindow : public QWidget {
    Q_OBJECT
public:
    // loadAtStartup: "Load at startup" of the captured URL history.
    CaptureHistoryWindow(Services services, HistoryTable& history, bool loadAtStartup,
                         QWidget* parent = nullptr);
    ~CaptureHistoryWindow() override;

    // Navigate URL opens addresses through the program's one launcher.
    void setLauncher(UrlLauncher* launcher) { m_launcher = launcher; }

    HistoryTable& history() { return m_history; }
    QString statusPanelText(int panel) const;

    // Handlers
    void cyNewListClick();
    void cySaveHistoryClick();
    void cySaveHistoryAsClick();
    void cyReloadHistoryClick();
    void cyLoadHistoryClick();
    void cySearchClick();
    void cyStopSearchClick();
    void EditSearchChange();
    void cyAdvSpeedButton4Click();
    void cyAdvSpeedButton1Click();
    void cyAdvSpeedButton2Click();
    void cyDeleteRecordClick();
    void cyAutosizeClick();
    void cyPrintDBClick();
    void cyURLSaveClick();
    void cyNavigateURLClick();
    void cyCloseClick();
    void SGHistoryClick();
    void SGHistorySelectCell(int column, int row);

    // The save without questions that the close of the main window asks for; answers what to report on
    // the way out (empty when all went well).
    QString SaveHistory();
    void AutoSize();
    GridMetrics gridMetrics() const; // what the grid draws with, for AutoSize
    void PrintHistory(const QString& title);

    int SelectedRow = -1;
    int SelectedCol = -1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Ui; // the controls, named for their roles
    std::unique_ptr<Ui> m_ui;
    void buildUi();
    void connectHandlers();
    void selectCell(int row, int column);
    void setStatusPanel(int panel, const QString& text);
    // Selection state (SelectedRow, status bar) taken again from the highlighted cell after the rows
    // changed under it.
    void followCurrentCell();

    Services m_services;
    UrlLauncher* m_launcher = nullptr;
    HistoryTable& m_history;
    HistoryFileCommands m_files;
    HistorySearch m_search;
    QList<QLabel*> m_panels;
    quint64 m_currentIdBeforeReset = 0;
    int m_currentColBeforeReset = -1;
};

} // namespace clipvane
