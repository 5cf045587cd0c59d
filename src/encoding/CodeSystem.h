#pragma once

// The encoding a server keeps its text files in (INI key "Code" of a server profile).
enum CodeSystem : int {
    CodeSystemEuc = 0,  // EUC-JP with LF line ends: files are converted on transfer
    CodeSystemSjis = 1, // Shift_JIS: no conversion
};
