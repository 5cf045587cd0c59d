#pragma once

// The encoding a server keeps its text files in (INI key "Code" of a server profile).
enum CodeSystem : int {
    CodeSystemEuc = 0,  // EUC-JP with LF line ends: files are converted on transfer
    CodeSystemSjis = 1, // Shift_JIS: no conversion
    CodeSystemUtf8 = 2, // UTF-8 names and text: no conversion
};

// The place of a profile's code system in every choice of it (EUC, SJIS, UTF-8); a number
// of no known system shows as EUC, the default.
inline int codeSystemIndex(int code) {
    return code == CodeSystemSjis || code == CodeSystemUtf8 ? code : CodeSystemEuc;
}
