#pragma once

#include <QByteArray>
#include <QSize>

#include <optional>

class IniFile;

// The main window's bar layout (which bars show, where they dock, in which order), kept in the
// settings file's section "General". The layout is only meaningful on the screen it was made
// on, so it is stored with that screen's size and read back only for the same size. INI values
// hold at most 255 bytes, so the layout is split over numbered keys.
class BarLayout {
public:
    // The stored layout for a screen of `screen`, or nothing when none is stored, a part is
    // missing or damaged, or it was made on another screen size.
    static std::optional<QByteArray> load(const IniFile& ini, QSize screen);
    // Replaces the stored layout; an empty `state` removes it.
    static void store(IniFile& ini, const QByteArray& state, QSize screen);
};
