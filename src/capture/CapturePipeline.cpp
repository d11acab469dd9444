#include "CapturePipeline.h"

#include "core/CapturedList.h"
#include "core/HistoryRecorder.h"
#include "core/Options.h"
#include "core/SortUnique.h"
#include "platform/Clipboard.h"
#include "validation/CheckEngine.h"

namespace clipvane {

QString firstLine(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n')
            return text.left(i);
    }
    return text;
}

CapturePipeline::CapturePipeline(Clipboard& clipboard, CheckEngine& engine, const Options& options,
                                 CapturedList& list, CaptureHost& host, HistoryRecorder& history, Yield yield)
    : m_clipboard(clipboard), m_engine(engine), m_options(options), m_list(list), m_host(host),
      m_history(history), m_yield(std::move(yield)) {}

CapturePipeline::~CapturePipeline() = default;

void CapturePipeline::WMDrawClipboard() {
    if (!m_options.monitorClipboard())
        return;
    const ClipboardContent content = m_clipboard.read();
    if (!content.hasText)
        return;
    m_waiting.push_back(content.text);
    checkNext();
}

void CapturePipeline::checkNext() {
    if (m_run || m_deciding || m_waiting.empty())
        return;
    // The text box shows a copy when its turn comes, as it did when each capture ran to its end at once.
    const QString& text = m_waiting.front();
    m_host.setMemoText(text);
    m_run = m_engine.start({firstLine(text)});
    QObject::connect(m_run.get(), &CheckRun::checked, m_run.get(), [this](int, bool accepted) {
        // The run has set LastCheckedUrl; it goes once the event loop is back.
        m_run.release()->deleteLater();
        decided(accepted);
    });
}

void CapturePipeline::decided(bool accepted) {
    const QString candidate = firstLine(m_waiting.front());
    m_waiting.pop_front();
    m_deciding = true;
    struct Done {
        CapturePipeline& p;
        ~Done() {
            p.m_deciding = false;
            p.checkNext();
        }
    } done{*this};

    if (!accepted) {
        m_host.setMemoText(m_list.lastValidUrl.isEmpty() ? QString::fromLatin1(kNoPreviousValidUrl)
                                                         : m_list.lastValidUrl);
        return;
    }
    m_history.recordCapture(candidate);
    if (m_options.showCaptureBalloon()) {
        m_yield();
        m_host.showCaptureBalloon(candidate);
        m_yield();
    }
    m_yield();
    m_list.model.append(candidate);
    m_list.lastValidUrl = candidate;
    m_list.modified = true;
    m_host.setListStatus(QStringLiteral("Modified"));
    m_yield();
    SortUnique(m_list.model);
    m_yield();
}

} // namespace clipvane
