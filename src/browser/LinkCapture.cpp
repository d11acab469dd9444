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

QStringList linksInPageOrder(const QMap<FramePath, HarvestedFrame>& frames, bool allFrames) {
    QStringList links;
    if (!allFrames) {
        const auto top = frames.constFind(FramePath{});
        if (top != frames.constEnd())
            links = top->links;
        return links;
    }
    // Paths compare element by element, a path before those it leads to: the map is in page order.
    for (const HarvestedFrame& frame : frames)
        if (!frame.frameset)
            links += frame.links;
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

void LinkCapture::harvestFrame(int harvest, const FramePath& path, const HarvestedFrame& content) {
    const auto it = m_pending.find(harvest);
    if (it == m_pending.end())
        return;
    Pending& p = **it;
    if (p.frames.contains(path) || std::any_of(path.begin(), path.end(), [](int i) { return i < 0; }))
        return;
    // A frame is awaited once the frame that holds it has answered (the top document always is); an answer
    // may overtake the one of the frame around it.
    bool awaited = path.isEmpty();
    if (!awaited) {
        const auto parent = p.frames.constFind(path.first(path.size() - 1));
        awaited = parent != p.frames.constEnd() && path.last() < parent->frames;
    }
    if (awaited)
        --p.missing;
    const int holds = p.allFrames ? std::max(content.frames, 0) : 0;
    for (int j = 0; j < holds; ++j)
        if (!p.frames.contains(path + FramePath{j}))
            ++p.missing;
    p.frames.insert(path, content);
    if (p.allFrames ? p.missing == 0 : path.isEmpty())
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
    const bool topRead = p->frames.contains(FramePath{});
    QString failure = error;
    // A page whose scripts stay busy never answers: said as plainly as a page that cannot be read.
    if (failure.isEmpty() && !topRead)
        failure = QString::fromLatin1(kPageNotRead);
    const int skipped = p->allFrames && error.isEmpty() ? p->missing : 0;

    // History rows go in page order before the list drops its duplicates: one row per link.
    m_list.appendTexts(links);
    m_history.write(links);
    SortUnique(m_list);
    m_controls.refreshScrollExtent();
    m_controls.setButtonEnabled(BrowserButton::Delete, false);
    m_controls.setButtonEnabled(BrowserButton::ValidateURL, false);
    m_controls.setUrlCount(QString::number(m_list.count()));
    // The status tells about this capture only.
    m_controls.setStatusPanel(skipped > 0 ? skippedFramesText(skipped) : QString());
    emit finished(int(links.size()), skipped);
    // The list is in order before the box waits for the user.
    if (!failure.isEmpty())
        m_dialogs.message(MessageKind::Error, failure, Buttons::Ok);
}

} // namespace clipvane
