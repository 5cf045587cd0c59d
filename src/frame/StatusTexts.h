#pragma once

#include <QString>

#include <optional>

// What the status bar's panes show of the active editor, gathered once per idle cycle.
struct StatusSnapshot {
    bool hasDocument = false;
    bool hasView = false;
    QString server;
    QString directory;
    int caretLine = 0; // 1-based
    int lineCount = 0;
    bool readOnly = false;
    bool modified = false;
    bool insertMode = true;
    // The keyboard's lock keys; nullopt where the platform does not tell.
    std::optional<bool> capsLock;
    std::optional<bool> numLock;
};

// The texts of the panes after the message pane, in pane order.
struct StatusTexts {
    QString server;    // 136
    QString directory; // 138
    QString line;      // 144
    QString modified;  // 102
    QString caps;      // 59137
    QString num;       // 59138
    QString overwrite; // 59140

    bool operator==(const StatusTexts&) const = default;
};

StatusTexts statusTextsFor(const StatusSnapshot& snapshot);

// The texts that size each pane: a pane is as wide as its sizing text.
StatusTexts statusSizingTexts();
