#pragma once
#include "browser/BrowserControls.h"
#include "browser/BrowserSession.h"
#include "platform/Services.h"

#include <QWidget>
#include <array>
#include <memory>

class QToolButton;
class QVBoxLayout;

namespace clipvane {

// Integrated browser ("Clipvane integrated browser"). The window and its controls exist from start-up;
// the web engine is loaded when the window is first shown, never before. Every instance (the first, and
// those that pages open) has its own list, buttons and view.
class BrowserWindow : public QWidget, public BrowserControls {
    Q_OBJECT
public:
    BrowserWindow(Services services, const BrowserEnvironment& environment, QWidget* parent = nullptr);
    ~BrowserWindow() override;

    // The creation steps, run by the composition root right after construction.
    void FormCreate();
    // Reads the window's placement from the "WB Placement" section.
    void LoadINIFile();

    BrowserSession& session() { return *m_session; }
    // The page view, made on the first call (the first showing); null when no engine could be loaded.
    WebView* ensureView();
    // A new page view in place of the one there was (a closed window serving a page's request again).
    WebView* renewView();
    QToolButton* button(BrowserButton b) const { return m_buttons[std::size_t(b)]; }

    // BrowserControls
    QString addressText() const override;
    void setAddressText(const QString& text) override;
    void setNavigationStatus(const QString& text) override;
    void setButtonEnabled(BrowserButton button, bool on) override;
    void setUrlCount(const QString& text) override;
    void setStatusPanel(const QString& text) override;
    void refreshScrollExtent() override; // HorScrollBar
    void setCommandsEnabled(bool on) override;

    static constexpr int kListPanelWidth = 249; // the list panel's width as designed
    static constexpr int kMinimumOuterWidth = 800;
    static constexpr int kMinimumOuterHeight = 594;
    // The client area's minimum for a window frame of `frame` (outer size less client size) on a desktop.
    static QSize minimumClientSize(const QSize& frame, const QSize& desktop);

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Ui; // the controls, named for their roles
    std::unique_ptr<Ui> m_ui;
    void buildToolBar(QVBoxLayout* tab);
    void buildListPanel();
    void buildBrowserPanel();
    void buildStatusBar(QVBoxLayout* window);
    void wire();
    void copyValidateHint();
    void applyMinimumSize();

    Services m_services;
    const BrowserEnvironment& m_environment;
    std::unique_ptr<BrowserSession> m_session;
    std::unique_ptr<WebView> m_view;
    std::array<QToolButton*, kBrowserButtonCount> m_buttons{};
    bool m_shownOnce = false;
    bool m_viewTried = false;
    QSize m_frameForMinimum{-1, -1};
};

} // namespace clipvane
