#include "session/window_arrangement.h"

#include <algorithm>

namespace tunekit {

WindowArrangement arrangeWindows(QSize screenTwips, AccessLevel level, int consoleWidthTwips)
{
    constexpr int mainWidth = 9765;
    constexpr int mainHeight = 8760;
    // With the terminal on its right and no packet console on its left the main window moves
    // left, so both fit.
    const bool terminalOnly = level.seesTerminal() && !level.seesPacketConsole();
    const int mainLeft = (terminalOnly ? screenTwips.width() / 3 : screenTwips.width() / 2) - mainWidth / 2;
    const int mainTop = screenTwips.height() / 2 - mainHeight / 2;

    WindowArrangement a;
    a.main = QRect(std::max(0, mainLeft), std::max(0, mainTop), mainWidth, mainHeight);
    // The side windows sit beside where the main window really is, and stay on screen too.
    const QRect& m = a.main;
    a.terminal = QRect(std::max(0, m.left() + mainWidth + 20), m.top(), mainWidth * 3 / 4, mainHeight);
    a.console = QRect(std::max(0, m.left() - consoleWidthTwips - 20), m.top(), consoleWidthTwips, mainHeight);
    return a;
}

} // namespace tunekit
