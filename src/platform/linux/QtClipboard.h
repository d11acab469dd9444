#pragma once
#include "platform/Clipboard.h"

class QMimeData;

namespace clipvane {

// The system clipboard (not the X selection) through QClipboard.
class QtClipboard final : public Clipboard {
    Q_OBJECT
public:
    explicit QtClipboard(QObject* parent = nullptr);
    ClipboardContent read() const override;
    void join() override;
    void leave() override;

private:
    QMetaObject::Connection m_connection;
};

// Shared by the real clipboard and the doubles: how mime data becomes capture content.
ClipboardContent contentOf(const QMimeData* mime);

} // namespace clipvane
