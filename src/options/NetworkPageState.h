#pragma once

#include "settings/NetworkSettings.h"

#include <QStringList>

// What the network page holds between two exchanges with its controls: the section "Network"
// and the FTP debug-log switch, which lives only in memory.
struct NetworkPageState {
    NetworkSettings values;
    bool debugLog = false;

    // Takes the settings as the page starts with them: a proxy mode other than 1 or 2 is the
    // system's settings, and only a named proxy keeps its name.
    static NetworkPageState from(const NetworkSettings& settings, bool debugLog);

    // A proxy radio button was clicked (0, 1 or 2).
    void chooseProxy(int mode);
    bool nameEnabled() const { return values.Proxy == 2; }

    bool operator==(const NetworkPageState&) const = default;
};

// The listing methods of the hidden list, by the value of "List".
const QStringList& ListingMethods();
// The item the hidden list selects for a "List" value: -1 (none) outside the list, and that is
// also what the page stores back.
int ListingMethodSelection(int list);
