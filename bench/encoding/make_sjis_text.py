#!/usr/bin/env python3
"""Writes SIZE megabytes of Japanese Shift_JIS text to PATH: kanji, kana, a little ASCII and
half-width katakana, CR LF line ends. Only characters every converter knows are used, so that
each tool converts the same file without errors."""
import random
import sys


def jis_to_sjis(row, cell):
    lead = (row - 0x21) // 2 + 0x81
    if lead >= 0xA0:
        lead += 0x40
    if row & 1:
        trail = cell + 0x1F
        if trail >= 0x7F:
            trail += 1
    else:
        trail = cell + 0x7E
    return bytes((lead, trail))


def vocabulary():
    kanji = [jis_to_sjis(r, c) for r in range(0x30, 0x4F) for c in range(0x21, 0x7F)]
    hiragana = [jis_to_sjis(0x24, c) for c in range(0x21, 0x74)]
    katakana = [jis_to_sjis(0x25, c) for c in range(0x21, 0x77)]
    punctuation = [jis_to_sjis(0x21, c) for c in (0x22, 0x23, 0x41, 0x56, 0x57)]
    ascii_words = [w.encode() for w in ("FTP", "data", " ", "2024", "(", ")", ", ")]
    halfwidth = [bytes((b,)) for b in range(0xA6, 0xDE)]
    # Weighted like running text: mostly hiragana and kanji.
    return (hiragana * 6 + kanji[:600] * 2 + kanji + katakana * 2 + punctuation * 20 +
            ascii_words * 15 + halfwidth)


def main():
    path, size_mb = sys.argv[1], float(sys.argv[2])
    target = int(size_mb * 1024 * 1024)
    words = vocabulary()
    rng = random.Random(2024)
    lines = [b"".join(rng.choices(words, k=rng.randint(10, 60))) + b"\r\n"
             for _ in range(20000)]
    with open(path, "wb") as out:
        written = 0
        while True:
            # Shuffle between rounds so the file is not one block repeated.
            rng.shuffle(lines)
            for line in lines:
                if written + len(line) > target:
                    return
                out.write(line)
                written += len(line)

if __name__ == "__main__":
    main()
