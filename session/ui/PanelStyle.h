// Looks that several windows share: fonts sized in pixels, so that the
// painted backgrounds and the texts on them keep their proportions whatever
// the screen's dpi, and the clock panel that the main window and the picture
// window both show.
#pragma once

#include <QFont>
#include <QString>

class QLabel;

// A font of the family at the given pixel size, nothing else set.
QFont pixelFont(const QString &family, int pixels);
// The same, bold or not and italic or not.
QFont pixelFont(const QString &family, int pixels, bool bold, bool italic);

// The countdown's panel: black bold italic 24-pixel Times New Roman,
// centred on white in a thin black box; clicks on it stay with it.
void styleClockPanel(QLabel *panel);
