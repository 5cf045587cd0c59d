#pragma once

// Counts the operations a window has under way. The FTP layer lets the event loop turn while it
// waits, so a click could start a second operation in the middle of the first; a window whose
// count is not zero takes no other command. A window and the panes it embeds share one count.
class BusyCount {
public:
    bool busy() const { return m_count > 0; }

    // Holds the count up for its own lifetime.
    class Hold {
    public:
        explicit Hold(BusyCount& count) : m_count(count) { ++m_count.m_count; }
        ~Hold() { --m_count.m_count; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        BusyCount& m_count;
    };

private:
    int m_count = 0;
};
