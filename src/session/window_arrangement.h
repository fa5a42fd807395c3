#pragma once

#include "access/access_level.h"

#include <QRect>
#include <QSize>

namespace tunekit {

// Where the main window, the terminal and the packet console go, in twips (1/1440 inch).
struct WindowArrangement {
    QRect main;
    QRect terminal;
    QRect console;
};

// The main window is centred (a third from the left when only the terminal is shown), the
// terminal sits to its right and the console to its left; nothing gets a negative position, and
// a side window that fits the screen does not reach past its right edge. mainMinimumTwips: what
// the main window's contents need (its captions in the language shown); it is never laid out
// smaller, so the side windows go beside the window as it really is.
WindowArrangement arrangeWindows(QSize screenTwips, AccessLevel level, int consoleWidthTwips,
                                 QSize mainMinimumTwips = {});

constexpr int twipsToPixels(int twips, double dotsPerInch)
{
    return static_cast<int>(twips * dotsPerInch / 1440.0 + 0.5);
}

} // namespace tunekit
