#pragma once

#include <QtGlobal>

// How much memory a new grid may take. Loading estimates the grid from the counts of the file
// before building it and refuses what cannot fit, since a process that outgrows the machine is
// killed with every unsaved document in it.
namespace SheetMemory {

// Bytes the process can still take: the system's available memory, or less when the
// process's address-space or data limit is nearer.
qint64 available();

// True when `needed` bytes fit in what is available, with room to spare for the rest of the
// program.
bool fits(qint64 needed);

// Makes available() answer `bytes` (tests; -1 goes back to asking the system). Returns the
// answer it replaces.
qint64 setAvailable(qint64 bytes);

} // namespace SheetMemory
