#pragma once
#include "platform/WebView.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <QVector>
#include <memory>
#include <optional>

namespace clipvane {

class BrowserControls;
class BrowserHistoryWriter;
class CheckListModel;
class Dialogs;

// "2 frames could not be read and were skipped": the status after a capture that left frames out.
QString skippedFramesText(int skipped);

// The links a harvest gave, in page order: the top document's own links, then each frame's (depth first,
// a frame's own links before those of its frames). A frame set contributes no links of its own; the
// single-frame capture reads the top document alone.
QStringList linksInPageOrder(const QMap<FramePath, HarvestedFrame>& frames, bool allFrames);

inline constexpr char kPageNotRead[] = "The page on display could not be read.";

// The two page link captures of one browser window (cyPageCaptureClick, cyAllPageCaptureClick). The view
// reads the page on its own; the capture collects the frames as they arrive and, once every frame is in
// (or none came for a while), adds the links to the list, hands them to the Capture History in page order,
// sorts the list without duplicates and refreshes the window. Captures may overlap: each has its own
// number and frames, and ends on its own.
class LinkCapture : public QObject {
    Q_OBJECT
public:
    LinkCapture(CheckListModel& list, BrowserControls& controls, BrowserHistoryWriter& history,
                Dialogs& dialogs, QObject* parent = nullptr);
    ~LinkCapture() override;

    // How long a harvest waits for frames that have not answered since the last one did.
    void setQuietTimeout(int milliseconds) { m_quietTimeout = milliseconds; }

    void start(WebView& view, bool allFrames);
    bool isRunning() const { return !m_pending.isEmpty(); }

    void harvestFrame(int harvest, const FramePath& path, const HarvestedFrame& content);
    void harvestFailed(int harvest, const QString& error);

signals:
    // A capture ended: how many links it added (before duplicates went) and how many frames it skipped.
    void finished(int links, int skippedFrames);

private:
    struct Pending {
        bool allFrames = false;
        QMap<FramePath, HarvestedFrame> frames;
        int missing = 1; // frames known to exist that have not answered: the top document at first
        std::unique_ptr<QTimer> quiet;
    };
    void finish(int harvest, const QString& error);
    void armQuietTimer(int harvest, Pending& p);

    CheckListModel& m_list;
    BrowserControls& m_controls;
    BrowserHistoryWriter& m_history;
    Dialogs& m_dialogs;
    int m_quietTimeout = 3000;
    int m_lastHarvest = 0;
    QHash<int, std::shared_ptr<Pending>> m_pending;
};

} // namespace clipvane
