#pragma once
#include "platform/GlobalShortcuts.h"

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

struct xcb_connection_t;
struct _XCBKeySymbols;

namespace clipvane {

// Passive key grabs on the root windows of the X server the application runs on. On any other platform
// (Wayland, offscreen) every grab is Unsupported.
class XcbGlobalShortcuts final : public GlobalShortcuts, public QAbstractNativeEventFilter {
public:
    explicit XcbGlobalShortcuts(QObject* parent = nullptr);
    ~XcbGlobalShortcuts() override;
    // Name and description are the desktop's business: the X server knows keys only.
    Grab grab(int id, const QKeySequence& keys, const QString& name, const QString& description) override;
    void releaseAll() override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Held {
        int id;
        std::uint32_t root;
        std::uint8_t keycode;
        std::uint16_t modifiers;
    };
    void readModifierMasks();
    bool grabOne(std::uint32_t root, std::uint8_t keycode, std::uint16_t modifiers);
    void ungrabOne(std::uint32_t root, std::uint8_t keycode, std::uint16_t modifiers);

    xcb_connection_t* m_connection = nullptr;
    _XCBKeySymbols* m_symbols = nullptr;
    std::vector<std::uint32_t> m_roots;
    std::vector<Held> m_held;
    std::uint16_t m_altMask = 0;
    std::uint16_t m_superMask = 0;
    std::uint16_t m_numLockMask = 0;
    bool m_filterInstalled = false;
    std::set<std::uint8_t> m_down;                              // grabbed keys now held down
    std::pair<std::uint8_t, std::uint32_t> m_lastRelease{0, 0}; // keycode and time
};

} // namespace clipvane
