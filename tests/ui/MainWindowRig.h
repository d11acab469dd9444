#pragma once
#include "AppFixture.h"
#include "capture/CapturePipeline.h"
#include "core/CapturedList.h"
#include "core/HistoryRecorder.h"
#include "core/Options.h"
#include "core/Yield.h"
#include "platform/Clipboard.h"
#include "ui/Main/MainWindow.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"

#include <memory>

namespace clipvane::test {

// The main window alone over a fixture's doubles, without the rest of the application: its options, its
// list, the checks it runs, and on request the capture that feeds it.
struct MainWindowRig : HistoryRecorder {
    explicit MainWindowRig(AppFixture& app)
        : services(app.services()),
          checker(*services.platform.connectivity, *services.platform.http, options),
          engine(*services.platform.connectivity, *services.platform.http, checker),
          window(services, options, list, checker, engine) {}

    // Captures from the fixture's clipboard into this window, as the application connects them.
    void startCapture(FakeClipboard& clipboard) {
        capture = std::make_unique<CapturePipeline>(clipboard, engine, options, list, window, *this,
                                                    letPendingMessagesRun);
        QObject::connect(&clipboard, &Clipboard::changed, &window, [this] { capture->WMDrawClipboard(); });
        clipboard.afterCopy = [this] { settleCaptures(capture.get()); };
    }
    void recordCapture(const QString& url) override { recorded.append(url); }

    Services services;
    Options options;
    CapturedList list;
    UrlChecker checker;
    CheckEngine engine;
    MainWindow window;
    std::unique_ptr<CapturePipeline> capture;
    QStringList recorded;
};

} // namespace clipvane::test
