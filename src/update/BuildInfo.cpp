#include "BuildInfo.h"

namespace clipvane {

QString localVersion() {
    return QStringLiteral(CLIPVANE_VERSION);
}

Edition editionFor(int pointerBits) {
    const QString n = QString::number(pointerBits);
    return {n + QStringLiteral("Bits"), n + QStringLiteral("bits Edition"),
            QStringLiteral("Clipvane_") + n + QStringLiteral("bits.zip")};
}

Edition buildEdition() {
    return editionFor(int(sizeof(void*) * 8));
}

} // namespace clipvane
