// The web engine as a module loaded when the first browser view is made: Qt WebEngine stays out of the
// start-up path and out of memory until the integrated browser is shown.
#include "QtWebView.h"

extern "C" Q_DECL_EXPORT clipvane::WebView* clipvaneCreateWebView() {
    return new clipvane::QtWebView();
}
