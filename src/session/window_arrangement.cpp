#include "session/window_arrangement.h"

#include <algorithm>

namespace tunekit {

WindowArrangement arrangeWindows(QSize screenTwips, AccessLevel level, int consoleWidthTwips, QSize mainMinimumTwips)
{
    const int mainWidth = std::max(9765, mainMinimumTwips.width());
    const int mainHeight = std::max(8760, mainMinimumTwips.height());
    constexpr int gap = 20;
    // With the terminal on its right and no packet console on its left the main window moves
    // left, so both fit.
    const bool terminalOnly = level.seesTerminal() && !level.seesPacketConsole();
    int mainLeft = (terminalOnly ? screenTwips.width() / 3 : screenTwips.width() / 2) - mainWidth / 2;
    // The packet console, when it is shown, keeps clear of the main window; the main window keeps
    // on the screen.
    if (level.seesPacketConsole())
        mainLeft = std::max(mainLeft, consoleWidthTwips + gap);
    mainLeft = std::max(0, std::min(mainLeft, screenTwips.width() - mainWidth));
    const int mainTop = screenTwips.height() / 2 - mainHeight / 2;

    WindowArrangement a;
    a.main = QRect(mainLeft, std::max(0, mainTop), mainWidth, mainHeight);
    // The side windows sit beside where the main window really is. The terminal takes the room
    // left on the right, down to a third of its width; only a screen narrower than that makes it
    // overlap the main window rather than reach past the edge.
    const QRect& m = a.main;
    const int terminalLeft = m.left() + mainWidth + gap;
    const int terminalWidth = std::clamp(screenTwips.width() - terminalLeft, 9765 / 4, 9765 * 3 / 4);
    a.terminal = QRect(std::max(0, std::min(terminalLeft, screenTwips.width() - terminalWidth)), m.top(), terminalWidth,
                       mainHeight);
    a.console = QRect(std::max(0, m.left() - consoleWidthTwips - gap), m.top(), consoleWidthTwips, mainHeight);
    return a;
}

} // namespace tunekit
