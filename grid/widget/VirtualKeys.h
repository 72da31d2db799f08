// Translation of Qt key events into the Windows virtual-key codes and shift
// states that the grid's event handlers work with.
#pragma once

#include <Qt>
#include <cstdint>

#include "grid/IStringGrid.h"

class QKeyEvent;

namespace quillor {

// The virtual-key code of a Qt key (keypad keys told apart by
// Qt::KeypadModifier), or 0 when the key has none.
uint16_t ToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

// What a key event's native scan code means.
enum class TScanCodes {
  kUnknown,  // nothing to go by (offscreen, synthesised events)
  kXkb,      // xkb keycodes, the evdev code + 8 (X11 and Wayland)
};
// The scan codes of the platform the application runs on.
TScanCodes PlatformScanCodes();

// The virtual-key code of a key event. The keys of the number row (above the
// letters) take the codes 48 to 57 by their place on the keyboard, as on
// Windows: whatever the layout ("&" or "é" unshifted on a French keyboard)
// and whatever Shift makes of them ("!" or "*"). Other keys go by ToVirtualKey.
uint16_t ToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers, uint32_t nativeScanCode,
                      TScanCodes scanCodes);
uint16_t ToVirtualKey(const QKeyEvent& event);

// Modifier keys and held mouse buttons as a shift-state set.
TShiftState ToShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

}  // namespace quillor
