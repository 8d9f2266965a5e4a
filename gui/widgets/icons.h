// The small pictures of the screens, drawn as vectors so that they stay sharp at any DPI.
#pragma once

#include <QPixmap>

namespace dosavia::gui {

// Edge of the screens' icons [px at 96 dpi].
inline constexpr int kIconSize = 32;

// The return button's icon: the characters 出口 (exit) and an arrow pointing up and to the
// left, white on dark green.
QPixmap ExitIcon(int size = kIconSize);

// The menu's small emblem: a beam entering water with an electron track.
QPixmap MenuIcon(int size = kIconSize);

}  // namespace dosavia::gui
