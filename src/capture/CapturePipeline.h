#pragma once
#include <QString>
#include <functional>

namespace clipvane {

class CheckListModel;
class Clipboard;
class UrlChecker;
struct SessionState;

inline constexpr char kNoPreviousValidUrl[] = "No previous valid URL in memory to display";

// The window side of a capture: its switches, its text box, its balloon and status, the history.
class CaptureHost {
public:
    virtual ~CaptureHost() = default;
    virtual bool monitorOn() const = 0;     // "Monitor clipboard for URL"
    virtual bool showCaptureOn() const = 0; // "Show clipboard captured URL in a balloon"
    virtual void setMemoText(const QString& text) = 0;
    virtual void showCaptureBalloon(const QString& candidate) = 0; // only while the tray icon is shown
    virtual void setListStatus(const QString& status) = 0;
    virtual void addHistoryEntry(const QString& candidate) = 0;
};

// The first line of a text: up to its first CR or LF.
QString firstLine(const QString& text);

// What happens on every clipboard change. Steps that let pending messages run may see another
// capture run inside them; each capture keeps its own candidate, and the list ends sorted and unique.
class CapturePipeline {
public:
    using Yield = std::function<void()>;
    CapturePipeline(Clipboard& clipboard, UrlChecker& checker, SessionState& session, CheckListModel& list,
                    CaptureHost& host, Yield yield);

    void WMDrawClipboard();
    int depth() const { return m_depth; } // captures in progress (more than one when nested)

private:
    Clipboard& m_clipboard;
    UrlChecker& m_checker;
    SessionState& m_session;
    CheckListModel& m_list;
    CaptureHost& m_host;
    Yield m_yield;
    int m_depth = 0;
};

} // namespace clipvane
