#pragma once

// The classic virtual-key code (Shift 16, Ctrl 17, Escape 27, letters 65–90, …) of a Qt key, so
// the scene controllers see the codes they were written for. `keypad` is whether the key came
// from the numeric keypad. Codes above 255 that have no classic counterpart come back unchanged;
// the controllers ignore them.
int UI_VirtualKeyFromQt(int qtKey, bool keypad);

// The four-bit mouse-flag word the controllers take: bit 0 left button held, bit 1 right button
// held, bit 2 Shift held, bit 3 Ctrl held.
int UI_MouseFlags(bool left, bool right, bool shift, bool control);
