#include "QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace clipvane {

ClipboardContent contentOf(const QMimeData* mime) {
    ClipboardContent c;
    if (!mime)
        return c;
    if (mime->data(QStringLiteral("x-kde-passwordManagerHint")) == "secret") {
        c.secret = true;
        return c;
    }
    // Files copied in a file manager come with their paths as text; they are not a copied text.
    if (mime->hasUrls()) {
        const QList<QUrl> urls = mime->urls();
        const bool allLocal = !urls.isEmpty() && std::all_of(urls.begin(), urls.end(),
                                                             [](const QUrl& u) { return u.isLocalFile(); });
        if (allLocal)
            return c;
    }
    if (!mime->hasText())
        return c;
    c.hasText = true;
    c.text = mime->text();
    // Text formats end at the first NUL; what follows it was never part of the text.
    const qsizetype nul = c.text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        c.text.truncate(nul);
    return c;
}

QtClipboard::QtClipboard(QObject* parent) : Clipboard(parent) {}

ClipboardContent QtClipboard::read() const {
    return contentOf(QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard));
}

void QtClipboard::join() {
    if (m_connection)
        return;
    m_connection = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &Clipboard::changed);
}

void QtClipboard::leave() {
    disconnect(m_connection);
    m_connection = {};
}

} // namespace clipvane
