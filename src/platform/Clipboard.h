#pragma once
#include <QObject>
#include <QString>

namespace clipvane {

// What the capture needs to know about the clipboard at one moment.
struct ClipboardContent {
    bool hasText = false; // plain text offered (not an image, not a list of local files)
    bool secret = false;  // marked secret by a password manager: never captured
    QString text;         // the text, up to its first NUL character
};

// The clipboard as the capture sees it: a change notification delivered on the GUI thread, and the content.
class Clipboard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual ClipboardContent read() const = 0;
    // Start and stop delivering changed(); a listener that has not joined sees nothing.
    virtual void join() = 0;
    virtual void leave() = 0;

signals:
    void changed();
};

} // namespace clipvane
