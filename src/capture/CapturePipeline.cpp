#include "CapturePipeline.h"

#include "core/CheckListModel.h"
#include "core/SessionState.h"
#include "core/SortUnique.h"
#include "platform/Clipboard.h"
#include "validation/UrlCheck.h"

namespace clipvane {

QString firstLine(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n')
            return text.left(i);
    }
    return text;
}

CapturePipeline::CapturePipeline(Clipboard& clipboard, UrlChecker& checker, SessionState& session,
                                 CheckListModel& list, CaptureHost& host, Yield yield)
    : m_clipboard(clipboard), m_checker(checker), m_session(session), m_list(list), m_host(host),
      m_yield(std::move(yield)) {}

void CapturePipeline::WMDrawClipboard() {
    if (m_session.CaptureSuppressed || !m_host.monitorOn())
        return;
    const ClipboardContent content = m_clipboard.read();
    if (!content.hasText)
        return;

    struct Depth {
        int& d;
        explicit Depth(int& x) : d(x) { ++d; }
        ~Depth() { --d; }
    } depth(m_depth);

    m_host.setMemoText(content.text);
    const QString candidate = firstLine(content.text);

    if (!m_checker.CheckUrl(candidate)) {
        m_host.setMemoText(m_session.LastValidUrl.isEmpty() ? QString::fromLatin1(kNoPreviousValidUrl)
                                                            : m_session.LastValidUrl);
        return;
    }
    m_host.addHistoryEntry(candidate);
    if (m_host.showCaptureOn()) {
        m_yield();
        m_host.showCaptureBalloon(candidate);
        m_yield();
    }
    m_yield();
    m_list.append(candidate);
    m_session.LastValidUrl = candidate;
    m_session.ListModified = true;
    m_host.setListStatus(QStringLiteral("Modified"));
    m_yield();
    SortUnique(m_list);
    m_yield();
}

} // namespace clipvane
