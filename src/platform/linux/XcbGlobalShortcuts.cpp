#include "XcbGlobalShortcuts.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace clipvane {

namespace {

constexpr xcb_keysym_t XK_Num_Lock = 0xff7f;
constexpr xcb_keysym_t XK_Alt_L = 0xffe9;
constexpr xcb_keysym_t XK_Alt_R = 0xffea;
constexpr xcb_keysym_t XK_Super_L = 0xffeb;
constexpr xcb_keysym_t XK_Super_R = 0xffec;

// The X keysym of a Qt key: letters (as their lower-case keysym), digits and F1 to F12.
xcb_keysym_t keysymOf(Qt::Key key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return xcb_keysym_t(0x61 + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return xcb_keysym_t(0x30 + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return xcb_keysym_t(0xffbe + (key - Qt::Key_F1));
    return 0;
}

template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

} // namespace

XcbGlobalShortcuts::XcbGlobalShortcuts(QObject* parent) : GlobalShortcuts(parent) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    m_connection = x11->connection();
    m_symbols = xcb_key_symbols_alloc(m_connection);
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); it.rem; xcb_screen_next(&it))
        m_roots.push_back(it.data->root);
    readModifierMasks();
}

XcbGlobalShortcuts::~XcbGlobalShortcuts() {
    releaseAll();
    if (m_filterInstalled && qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
    if (m_symbols)
        xcb_key_symbols_free(m_symbols);
}

// Which ModN bits carry Alt, Super and Num Lock on this server (Mod1, Mod4 and Mod2 on most).
void XcbGlobalShortcuts::readModifierMasks() {
    m_altMask = XCB_MOD_MASK_1;
    m_superMask = XCB_MOD_MASK_4;
    m_numLockMask = XCB_MOD_MASK_2;
    XcbReply<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr),
        &std::free);
    if (!map)
        return;
    auto codesOf = [this](xcb_keysym_t sym) {
        std::vector<xcb_keycode_t> codes;
        if (xcb_keycode_t* list = xcb_key_symbols_get_keycode(m_symbols, sym)) {
            for (xcb_keycode_t* c = list; *c != XCB_NO_SYMBOL; ++c)
                codes.push_back(*c);
            std::free(list);
        }
        return codes;
    };
    const auto alt = codesOf(XK_Alt_L), altR = codesOf(XK_Alt_R);
    const auto super = codesOf(XK_Super_L), superR = codesOf(XK_Super_R);
    const auto numLock = codesOf(XK_Num_Lock);
    auto contains = [](const std::vector<xcb_keycode_t>& v, xcb_keycode_t c) {
        return std::find(v.begin(), v.end(), c) != v.end();
    };
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.get());
    const int perModifier = map->keycodes_per_modifier;
    bool altFound = false, superFound = false, numFound = false;
    // Rows 0 to 2 are Shift, Lock and Control; rows 3 to 7 are Mod1 to Mod5.
    for (int row = 3; row < 8; ++row) {
        const auto mask = std::uint16_t(1u << row);
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t c = codes[row * perModifier + i];
            if (c == 0)
                continue;
            if (!altFound && (contains(alt, c) || contains(altR, c))) {
                m_altMask = mask;
                altFound = true;
            }
            if (!superFound && (contains(super, c) || contains(superR, c))) {
                m_superMask = mask;
                superFound = true;
            }
            if (!numFound && contains(numLock, c)) {
                m_numLockMask = mask;
                numFound = true;
            }
        }
    }
}

bool XcbGlobalShortcuts::grabOne(std::uint32_t root, std::uint8_t keycode, std::uint16_t modifiers) {
    // Not owner_events: while the grab holds, the press comes to the root window even when a Clipvane
    // window has the focus, so a window shortcut never fires as well.
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(m_connection, 0, root, modifiers, keycode,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
        std::free(error);
        return false;
    }
    return true;
}

void XcbGlobalShortcuts::ungrabOne(std::uint32_t root, std::uint8_t keycode, std::uint16_t modifiers) {
    xcb_ungrab_key(m_connection, keycode, root, modifiers);
}

GlobalShortcuts::Grab XcbGlobalShortcuts::grab(int id, const QKeySequence& keys, const QString&,
                                               const QString&) {
    if (!m_connection || !m_symbols || keys.isEmpty())
        return Grab::Unsupported;
    const QKeyCombination combination = keys[0];
    const xcb_keysym_t sym = keysymOf(combination.key());
    if (sym == 0)
        return Grab::Unsupported;
    std::uint16_t modifiers = 0;
    const Qt::KeyboardModifiers qtModifiers = combination.keyboardModifiers();
    if (qtModifiers & Qt::ControlModifier)
        modifiers |= XCB_MOD_MASK_CONTROL;
    if (qtModifiers & Qt::ShiftModifier)
        modifiers |= XCB_MOD_MASK_SHIFT;
    if (qtModifiers & Qt::AltModifier)
        modifiers |= m_altMask;
    if (qtModifiers & Qt::MetaModifier)
        modifiers |= m_superMask;

    std::vector<xcb_keycode_t> codes;
    if (xcb_keycode_t* list = xcb_key_symbols_get_keycode(m_symbols, sym)) {
        for (xcb_keycode_t* c = list; *c != XCB_NO_SYMBOL; ++c)
            codes.push_back(*c);
        std::free(list);
    }
    if (codes.empty())
        return Grab::Unsupported;

    // The same combination with Caps Lock and Num Lock on or off.
    const std::uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, m_numLockMask,
                                   std::uint16_t(XCB_MOD_MASK_LOCK | m_numLockMask)};
    std::vector<Held> made;
    for (std::uint32_t root : m_roots) {
        for (xcb_keycode_t code : codes) {
            for (std::uint16_t lock : locks) {
                const auto mods = std::uint16_t(modifiers | lock);
                if (!grabOne(root, code, mods)) {
                    for (const Held& h : made)
                        ungrabOne(h.root, h.keycode, h.modifiers);
                    xcb_flush(m_connection);
                    return Grab::Refused;
                }
                made.push_back({id, root, code, mods});
            }
        }
    }
    m_held.insert(m_held.end(), made.begin(), made.end());
    if (!m_filterInstalled) {
        qGuiApp->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    return Grab::Held;
}

void XcbGlobalShortcuts::releaseAll() {
    if (!m_connection)
        return;
    for (const Held& h : m_held)
        ungrabOne(h.root, h.keycode, h.modifiers);
    m_held.clear();
    xcb_flush(m_connection);
}

bool XcbGlobalShortcuts::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release share the layout.
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    const auto relevant = std::uint16_t(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | m_altMask | m_superMask);
    const auto modifiers = std::uint16_t(key->state & relevant);
    if (type == XCB_KEY_RELEASE) {
        // The modifiers may already be up when the key comes up.
        for (const Held& h : m_held) {
            if (h.root == key->event && h.keycode == key->detail) {
                m_down.erase(key->detail);
                m_lastRelease = {key->detail, key->time};
                return true;
            }
        }
        return false;
    }
    for (const Held& h : m_held) {
        if (h.root == key->event && h.keycode == key->detail && (h.modifiers & relevant) == modifiers) {
            // A key held down repeats: act once per press. Repeats come as presses without a release
            // (detectable auto-repeat) or as a release and a press with the same time stamp.
            const bool repeat = m_down.count(key->detail) != 0 ||
                                (m_lastRelease.first == key->detail && m_lastRelease.second == key->time);
            m_down.insert(key->detail);
            if (!repeat)
                emit activated(h.id);
            return true;
        }
    }
    return false;
}

} // namespace clipvane
