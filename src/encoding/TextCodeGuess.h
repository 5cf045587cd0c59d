#pragma once

#include <QByteArrayView>

#include <optional>

class QIODevice;

// The code systems a text file of a server may turn out to be in.
enum class TextCode : int {
    EucJp = 0,
    ShiftJis = 1, // Shift_JIS / CP932
    Utf8 = 2,
    Unknown = 3, // none of them: binary data, or a mixture
};

// Tells whether bytes are EUC-JP and, when they are not, which code system they look like.
// EUC-JP here is what an EUC server holds and this program writes: ASCII (so a file of ASCII
// only is EUC-JP), JIS X 0208 pairs A1..FE, half-width katakana after 0x8E, JIS X 0212 after
// 0x8F, and the rows this program gives the Shift_JIS user-defined and extension characters
// (leads 0x8C and 0x91..0x9E). A text that is not EUC-JP looks like UTF-8 when it is valid
// UTF-8, else like Shift_JIS when it is valid CP932, else Unknown. Fed block by block, so a
// sequence may be split anywhere. A NUL byte is in no text: bytes holding one are Unknown.
class TextCodeGuess {
public:
    void feed(QByteArrayView bytes);
    // After the last block: nothing when everything fed is EUC-JP, else what it looks like.
    std::optional<TextCode> notEucJp() const;
    // After the last block: whether everything fed is Shift_JIS (CP932) text, ASCII only
    // included. Text with non-ASCII bytes that is valid UTF-8 or EUC-JP as well is taken for
    // those: almost every EUC-JP text is valid CP932, while Shift_JIS text of hiragana,
    // katakana or punctuation is neither.
    bool isShiftJisText() const;
    // False once a byte fed rules Shift_JIS text out, so a reader may stop early.
    bool mayBeShiftJisText() const { return !m_nul && m_sjis.valid; }

    static std::optional<TextCode> notEucJp(QByteArrayView bytes);
    // Reads `device` from where it stands to its end; nothing also when it cannot be read.
    static std::optional<TextCode> notEucJp(QIODevice& device);

    // One code system's rule, checked a byte at a time.
    struct Check {
        int need = 0;                    // continuation bytes still to come
        unsigned char low = 0, high = 0; // the range the next one must lie in
        bool valid = true;
        bool complete() const { return valid && need == 0; }
    };

private:
    Check m_euc;
    Check m_sjis;
    Check m_utf8;
    bool m_nul = false;
    bool m_nonAscii = false;
};
