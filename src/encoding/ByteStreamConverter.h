#pragma once

#include <cstddef>

// A byte-to-byte conversion fed block by block. A block may end inside a sequence that needs
// the next byte to decide (a lead byte, a CR, the end-of-file mark): such a byte is left
// unconsumed, and the caller puts it in front of the next block.
class ByteStreamConverter {
public:
    virtual ~ByteStreamConverter() = default;

    // Output never exceeds this many bytes per input byte.
    static constexpr std::size_t kMaxGrowth = 2;

    // Converts in[0, length) into `out` and returns the number of bytes written. `last` says
    // that no byte follows the block; otherwise `*consumed` may stop one byte short.
    virtual std::size_t convert(const unsigned char* in, std::size_t length, bool last,
                                unsigned char* out, std::size_t* consumed) = 0;
};

// Shift_JIS to EUC-JP: CR LF becomes LF, half-width katakana get the single shift 0x8E, the
// user-defined and extension rows go to the JIS rows kept for them, and a 0x1A that ends the
// file (the old end-of-file mark) is dropped. Bytes that are no character pass through.
class SjisToEucConverter : public ByteStreamConverter {
public:
    std::size_t convert(const unsigned char* in, std::size_t length, bool last, unsigned char* out,
                        std::size_t* consumed) override;
};

// EUC-JP to Shift_JIS: LF becomes CR LF (an existing CR LF stays as it is), the single shift
// before half-width katakana is dropped, and a lead byte without a valid second byte passes
// through.
class EucToSjisConverter : public ByteStreamConverter {
public:
    std::size_t convert(const unsigned char* in, std::size_t length, bool last, unsigned char* out,
                        std::size_t* consumed) override;
};
