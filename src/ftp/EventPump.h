#pragma once

#include <QElapsedTimer>

// Lets the Qt event loop turn during a long step of an FTP operation (a transfer, a
// conversion), so windows repaint and a cancel button can be pressed. Called as often as the
// step likes, it turns the loop at most every 25 ms, for at most 10 ms, and only on the
// application's thread. The interval is measured on the monotonic clock: a wall clock set back
// never holds the loop still.
class EventPump {
public:
    void turn();

private:
    QElapsedTimer m_sinceTurn; // invalid until the first turn
};
