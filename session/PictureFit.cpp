#include "session/PictureFit.h"

#include "library/Rounding.h"

#include <algorithm>

namespace PictureFit {

namespace {

int half(int value)
{
    return int(roundHalfEven(value, 2));
}

// A picture without a size (which a decoder should never return) is taken
// as a square, so that the box still gets a sensible shape.
QSize usable(QSize picture)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return {1, 1};
    return picture;
}

} // namespace

QPoint windowPosition(QRect area, QSize window)
{
    const auto within = [](int start, int length, int offset, int size) {
        return start + std::max(0, std::min(offset, length - size));
    };
    return {within(area.left(), area.width(), half(area.width() - window.width()), window.width()),
            within(area.top(), area.height(), half(area.height() - 20 - window.height()), window.height())};
}

QRect fitInBox(QSize picture)
{
    picture = usable(picture);
    int width = 312;
    int height = int(roundHalfEven(std::int64_t(picture.height()) * 312, picture.width()));
    if (height > 171) {
        width = int(roundHalfEven(312 * 171, height));
        height = 171;
    }
    // A sliver of a picture still gets one pixel, so it stays clickable.
    width = std::max(width, 1);
    height = std::max(height, 1);
    return {half(322 - width) + 443, half(181 - height) + 303, width, height};
}

QRect fitOnDesktop(QSize picture, QSize desktop)
{
    picture = usable(picture);
    const int fullWidth = std::max(desktop.width() - 50, 1);
    const int fullHeight = std::max(desktop.height() - 60, 1);
    int width = fullWidth;
    int height = int(roundHalfEven(std::int64_t(picture.height()) * fullWidth, picture.width()));
    if (height > fullHeight) {
        width = int(roundHalfEven(std::int64_t(width) * fullHeight, height));
        height = fullHeight;
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    return {half(desktop.width() - 40 - width) + 20, half(desktop.height() - 50 - height) + 25, width, height};
}

} // namespace PictureFit
