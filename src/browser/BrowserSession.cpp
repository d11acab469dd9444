#include "BrowserSession.h"

#include "BrowserControls.h"

namespace clipvane {

BrowserSession::BrowserSession(BrowserControls& controls, const BrowserEnvironment& environment)
    : m_controls(controls), m_env(environment),
      m_navigation(controls, *environment.shell, environment.searchHost, environment.yield),
      m_capture(m_list, controls, *environment.history, *environment.dialogs),
      m_commands(m_list, controls, *environment.dialogs, environment.listOptions,
                 [this](const QString& text) { navigateTo(text); }) {}

BrowserSession::~BrowserSession() {
    if (WebView* v = view())
        v->setEvents(nullptr);
}

void BrowserSession::attach(WebView* view) {
    m_navigation.setView(view);
    if (view)
        view->setEvents(this);
}

void BrowserSession::showFresh() {
    m_navigation.showFresh();
    m_controls.setButtonEnabled(BrowserButton::Delete, false);
    m_controls.setButtonEnabled(BrowserButton::ValidateURL, false);
    m_commands.refreshCount();
}

void BrowserSession::cyPageCaptureClick() {
    if (WebView* v = view())
        m_capture.start(*v, false);
}

void BrowserSession::cyAllPageCaptureClick() {
    if (WebView* v = view())
        m_capture.start(*v, true);
}

void BrowserSession::cyAdvSpeedButton3Click() {
    m_navigation.home(m_env.homePage ? m_env.homePage() : QString());
}

void BrowserSession::cyValidateURLClick() {
    if (m_env.validate)
        m_env.validate(*this);
}

void BrowserSession::navigateTo(const QString& text) {
    m_controls.setAddressText(text);
    m_navigation.cyNavigateClick();
}

void BrowserSession::beforeNavigate(const QString& url) {
    m_navigation.beforeNavigate(url);
}

void BrowserSession::navigateComplete(const QString& url) {
    m_navigation.navigateComplete(url);
}

void BrowserSession::navigateError(const QString& url) {
    m_navigation.navigateError(url);
}

void BrowserSession::commandStateChange(int command, bool enable) {
    m_navigation.commandStateChange(command, enable);
}

WebView* BrowserSession::newWindow() {
    return m_env.newWindow ? m_env.newWindow(*this) : nullptr;
}

void BrowserSession::harvestFrame(int harvest, const FramePath& path, const HarvestedFrame& content) {
    m_capture.harvestFrame(harvest, path, content);
}

void BrowserSession::harvestFailed(int harvest, const QString& error) {
    m_capture.harvestFailed(harvest, error);
}

} // namespace clipvane
