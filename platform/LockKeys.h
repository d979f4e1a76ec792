#pragma once

#include <cstdint>
#include <optional>

namespace vantor {

// State of the three lock keys as the keyboard's indicators show it.
struct LockKeyState {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;

    friend bool operator==(const LockKeyState&, const LockKeyState&) = default;
};

// Decodes the X keyboard extension's indicator bits: bit 0 Caps Lock, bit 1 Num Lock,
// bit 2 Scroll Lock; other bits are ignored.
LockKeyState LockKeysFromIndicatorBits(std::uint32_t bits);

// Reads the lock-key state from the window system. Known only on X11 (the xcb platform with a
// live connection); everywhere else, and when the server does not answer, nothing.
std::optional<LockKeyState> ReadLockKeys();

}  // namespace vantor
