// Translation of Qt key events into the Windows virtual-key codes and shift
// states that the grid's event handlers work with.
#pragma once

#include <Qt>
#include <cstdint>

#include "IStringGrid.h"

namespace quillor {

// The virtual-key code of a Qt key (keypad keys told apart by
// Qt::KeypadModifier), or 0 when the key has none.
uint16_t ToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

// Modifier keys and held mouse buttons as a shift-state set.
TShiftState ToShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

}  // namespace quillor
