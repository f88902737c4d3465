#pragma once

class QAbstractSpinBox;

namespace tessaly::widgets {

// Undo and redo keys pass from the spin box to the window's shortcuts unless the box holds text
// not yet entered, as a value box does: the window's undo takes back the device's last edit.
void LetUndoKeysPass(QAbstractSpinBox& box);

}  // namespace tessaly::widgets
