#pragma once
#include <QString>
#include <deque>
#include <functional>
#include <memory>

namespace clipvane {

class CheckEngine;
class CheckRun;
class Clipboard;
class HistoryRecorder;
class Options;
struct CapturedList;

inline constexpr char kNoPreviousValidUrl[] = "No previous valid URL in memory to display";

// Where a capture is shown: the text box, the balloon and the list status.
class CaptureHost {
public:
    virtual ~CaptureHost() = default;
    virtual void setMemoText(const QString& text) = 0;
    virtual void showCaptureBalloon(const QString& candidate) = 0; // only while the tray icon is shown
    virtual void setListStatus(const QString& status) = 0;
};

// The first line of a text: up to its first CR or LF.
QString firstLine(const QString& text);

// What happens on every clipboard change. The URL check runs on the check engine, never on the GUI thread:
// a copy is taken at once and waits in line, and captures are decided one after another in the order of
// the copies, each as a capture used to run from start to end (text box, check, history row, balloon,
// list, LastValidUrl), so a later copy never lands before an earlier one's verdict.
class CapturePipeline {
public:
    using Yield = std::function<void()>;
    // Reads "Monitor clipboard for URL" and "Show clipboard captured URL in a balloon" from the options.
    CapturePipeline(Clipboard& clipboard, CheckEngine& engine, const Options& options, CapturedList& list,
                    CaptureHost& host, HistoryRecorder& history, Yield yield);
    ~CapturePipeline();

    void WMDrawClipboard();
    // Copies taken and not decided yet (the one being checked included).
    int pending() const { return int(m_waiting.size()); }
    // Inside the steps that follow a verdict (which let pending messages run).
    bool deciding() const { return m_deciding; }

private:
    void checkNext();
    void decided(bool accepted);

    Clipboard& m_clipboard;
    CheckEngine& m_engine;
    const Options& m_options;
    CapturedList& m_list;
    CaptureHost& m_host;
    HistoryRecorder& m_history;
    Yield m_yield;
    std::deque<QString> m_waiting;   // clipboard texts, oldest first; the first is being checked
    std::unique_ptr<CheckRun> m_run; // the check of the first
    bool m_deciding = false;         // the steps after a verdict, which let pending messages run
};

} // namespace clipvane
