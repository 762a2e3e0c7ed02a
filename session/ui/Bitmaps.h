// The windows' bitmaps, compiled in under ":/bitmaps/". Each is drawn twice,
// at its size in the window and at twice that ("<name>@2x.png"): on a screen
// scaled beyond 100 % the larger drawing is taken, marked with its pixel
// ratio so that it keeps its size in the window and stays sharp.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace Bitmaps {

// The pixel ratio of the drawings the screens call for: 1 or 2.
int ratio();
QImage image(const QString &name);
QPixmap pixmap(const QString &name);

} // namespace Bitmaps
