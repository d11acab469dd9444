#include "LinkCapture.h"

#include "BrowserControls.h"
#include "BrowserHistoryWriter.h"
#include "core/CheckListModel.h"
#include "core/Dialogs.h"
#include "core/SortUnique.h"

#include <algorithm>

namespace clipvane {

QString skippedFramesText(int skipped) {
    return skipped == 1 ? QStringLiteral("1 frame could not be read and was skipped")
                        : QStringLiteral("%1 frames could not be read and were skipped").arg(skipped);
}

QStringList linksInPageOrder(const QVector<std::optional<HarvestedFrame>>& frames, bool allFrames) {
    QStringList links;
    if (!allFrames) {
        if (!frames.isEmpty() && frames.front())
            links = frames.front()->links;
        return links;
    }
    for (const auto& frame : frames)
        if (frame && !frame->frameset)
            links += frame->links;
    return links;
}

LinkCapture::LinkCapture(CheckListModel& list, BrowserControls& controls, BrowserHistoryWriter& history,
                         Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_list(list), m_controls(controls), m_history(history), m_dialogs(dialogs) {}

LinkCapture::~LinkCapture() = default;

void LinkCapture::start(WebView& view, bool allFrames) {
    auto p = std::make_shared<Pending>();
    p->allFrames = allFrames;
    const int harvest = ++m_lastHarvest;
    m_pending.insert(harvest, p);
    armQuietTimer(harvest, *p);
    view.harvest(harvest, allFrames);
}

void LinkCapture::armQuietTimer(int harvest, Pending& p) {
    if (!p.quiet) {
        p.quiet = std::make_unique<QTimer>();
        p.quiet->setSingleShot(true);
        connect(p.quiet.get(), &QTimer::timeout, this, [this, harvest] { finish(harvest, {}); });
    }
    p.quiet->start(m_quietTimeout);
}

void LinkCapture::harvestFrames(int harvest, int frameCount) {
    const auto it = m_pending.find(harvest);
    if (it == m_pending.end())
        return;
    Pending& p = **it;
    p.frameCount = std::max(frameCount, 0);
    // Frames that answered before the count came are kept (an answer may overtake it).
    p.frames.resize(p.frameCount);
    p.arrived =
        int(std::count_if(p.frames.begin(), p.frames.end(), [](const auto& f) { return f.has_value(); }));
    if (p.arrived == p.frameCount || (!p.allFrames && p.frameCount > 0 && p.frames.front()))
        finish(harvest, {});
}

void LinkCapture::harvestFrame(int harvest, int frame, const HarvestedFrame& content) {
    const auto it = m_pending.find(harvest);
    if (it == m_pending.end())
        return;
    Pending& p = **it;
    if (frame < 0 || (p.frameCount >= 0 && frame >= p.frameCount))
        return;
    if (frame >= p.frames.size())
        p.frames.resize(frame + 1);
    if (p.frames[frame])
        return;
    p.frames[frame] = content;
    ++p.arrived;
    if (p.frameCount < 0)
        armQuietTimer(harvest, p);
    else if (p.arrived == p.frameCount || (!p.allFrames && frame == 0))
        finish(harvest, {});
    else
        armQuietTimer(harvest, p);
}

void LinkCapture::harvestFailed(int harvest, const QString& error) {
    finish(harvest, error);
}

void LinkCapture::finish(int harvest, const QString& error) {
    const std::shared_ptr<Pending> p = m_pending.take(harvest);
    if (!p)
        return;
    if (p->quiet)
        p->quiet->stop();
    const QStringList links = linksInPageOrder(p->frames, p->allFrames);
    QString failure = error;
    if (failure.isEmpty() && !p->allFrames && (p->frames.isEmpty() || !p->frames.front()))
        failure = QStringLiteral("The page on display could not be read.");
    const int skipped = p->allFrames ? int(p->frames.size()) - p->arrived : 0;

    // History rows go in page order before the list drops its duplicates: one row per link.
    m_list.appendTexts(links);
    m_history.write(links);
    SortUnique(m_list);
    m_controls.refreshScrollExtent();
    m_controls.setButtonEnabled(BrowserButton::Delete, false);
    m_controls.setButtonEnabled(BrowserButton::ValidateURL, false);
    m_controls.setUrlCount(QString::number(m_list.count()));
    if (skipped > 0)
        m_controls.setStatusPanel(skippedFramesText(skipped));
    emit finished(int(links.size()), skipped);
    // The list is in order before the box waits for the user.
    if (!failure.isEmpty())
        m_dialogs.message(MessageKind::Error, failure, Buttons::Ok);
}

} // namespace clipvane
