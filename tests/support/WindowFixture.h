#pragma once
#include "TestServices.h"

#include <memory>
#include <utility>

namespace clipvane::test {

// What the composition root sets up for every window before it makes one: the pictures and the hint
// panels' tracker. Done once for the test run.
void prepareWindows();

// One window over the doubles, without the rest of the application: make() builds it from the services
// and the other arguments its constructor takes. The doubles outlive the window.
template <typename W> class WindowFixture : public TestServices {
public:
    WindowFixture() { prepareWindows(); }

    template <typename... Args> W& make(Args&&... args) {
        m_window = std::make_unique<W>(services(), std::forward<Args>(args)...);
        return *m_window;
    }
    W& window() const { return *m_window; }
    // For a test that owns what the window refers to: the window goes first.
    void destroyWindow() { m_window.reset(); }

private:
    std::unique_ptr<W> m_window;
};

} // namespace clipvane::test
