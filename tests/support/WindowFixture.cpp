#include "WindowFixture.h"

#include "ui/widgets/Hints.h"

#include <QApplication>

// The resources live in a static library; they must be registered by name.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace clipvane::test {

void prepareWindows() {
    static HintTracker* tracker = nullptr;
    if (tracker)
        return;
    initResources();
    tracker = new HintTracker(qApp);
    qApp->installEventFilter(tracker);
}

} // namespace clipvane::test
