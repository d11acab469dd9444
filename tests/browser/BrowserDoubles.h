#pragma once
// A scripted web view and the browser window's controls in memory, for the browser logic tests.
#include "browser/BrowserControls.h"
#include "platform/HostResolver.h"
#include "platform/WebView.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <QWidget>
#include <array>

namespace clipvane::test {

// Records what the logic asks of the engine; the test raises the engine's events by hand, in any order.
class ScriptedWebView final : public WebView {
public:
    struct Navigation {
        QString address;
        bool fresh;
    };
    ~ScriptedWebView() override { delete page.data(); }
    QWidget* widget() override {
        if (!page)
            page = new QWidget();
        return page;
    }
    void setEvents(WebViewEvents* e) override { events = e; }
    void navigate(const QString& address, bool fresh) override { navigations.append({address, fresh}); }
    void goBack() override { actions.append(QStringLiteral("back")); }
    void goForward() override { actions.append(QStringLiteral("forward")); }
    void refresh() override { actions.append(QStringLiteral("refresh")); }
    void stop() override { actions.append(QStringLiteral("stop")); }
    void harvest(int id, bool allFrames) override { harvests.append({id, allFrames}); }

    int lastHarvest() const { return harvests.isEmpty() ? -1 : harvests.last().first; }

    QPointer<QWidget> page;
    WebViewEvents* events = nullptr;
    QList<Navigation> navigations;
    QStringList actions;
    QList<QPair<int, bool>> harvests;
};

// Makes scripted views and keeps a pointer to each, for the window tests.
class ScriptedWebViewFactory final : public WebViewFactory {
public:
    std::unique_ptr<WebView> create(QString*) override {
        auto v = std::make_unique<ScriptedWebView>();
        made.append(v.get());
        return v;
    }
    QList<ScriptedWebView*> made;
};

class FakeBrowserControls final : public BrowserControls {
public:
    QString addressText() const override { return address; }
    void setAddressText(const QString& t) override { address = t; }
    void setNavigationStatus(const QString& t) override {
        navStatus = t;
        navLog.append(t);
    }
    void setButtonEnabled(BrowserButton b, bool on) override { enabled[std::size_t(b)] = on; }
    void setUrlCount(const QString& t) override { count = t; }
    void setStatusPanel(const QString& t) override { status = t; }
    void refreshScrollExtent() override { ++extentRefreshes; }
    void setCommandsEnabled(bool on) override { commandsEnabled = on; }
    bool isEnabled(BrowserButton b) const { return enabled[std::size_t(b)]; }

    QString address;
    QString navStatus;
    QStringList navLog; // every status shown, in order
    QString count = QStringLiteral("0");
    QString status;
    int extentRefreshes = 0;
    bool commandsEnabled = true;
    std::array<bool, kBrowserButtonCount> enabled{true, true, true, true, true, true, true,
                                                  true, true, true, true, true, true, true};
};

// Answers from a table, from any thread, after an optional delay; counts the questions per host.
class ThreadSafeResolver final : public HostResolver {
public:
    QString resolveIPv4(const QString& host) override {
        if (delayMs > 0)
            QThread::msleep(delayMs);
        QMutexLocker lock(&mutex);
        asked[host] += 1;
        return answers.value(host);
    }
    int timesAsked(const QString& host) {
        QMutexLocker lock(&mutex);
        return asked.value(host);
    }
    QHash<QString, QString> answers;
    unsigned long delayMs = 0;
    QMutex mutex;
    QHash<QString, int> asked;
};

} // namespace clipvane::test
