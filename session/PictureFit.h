// Window and picture geometry of the testing window: where the main window
// is placed on the desktop, and how a question's picture is fitted into the
// picture box and into the picture window. Every size here is rounded to
// the nearest integer with an exact half going to the even neighbour
// (library/Rounding.h).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>

namespace PictureFit {

// The main window's top-left corner on the screen it starts on, given the
// screen's area free of task bars: centred horizontally, and vertically in
// the area less 20 pixels at the bottom. A window larger than the area is
// kept inside it from the top left, so that its title and menu bar can be
// reached on a small screen.
QPoint windowPosition(QRect area, QSize window);

// The picture box of the main window: the picture scaled to 312 wide (or to
// 171 high when it would be taller), centred in the 322 x 181 frame at
// (443, 303).
QRect fitInBox(QSize picture);

// The picture window covering a desktop: the picture scaled to the desktop
// width less 50 (or to the height less 60 when it would be taller), centred.
QRect fitOnDesktop(QSize picture, QSize desktop);

} // namespace PictureFit
