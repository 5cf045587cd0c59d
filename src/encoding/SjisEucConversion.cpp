#include "encoding/SjisEucConversion.h"

#include "encoding/ByteStreamConverter.h"
#include "encoding/FileConversion.h"

namespace {

// Rows of JIS where the Shift_JIS user-defined and extension rows are kept.
constexpr unsigned char kUserDefinedFirstRow = 0x74;
constexpr unsigned char kUserDefinedRows = 11;

} // namespace

JisCode SjisToJis(unsigned char lead, unsigned char trail) {
    unsigned char t = lead;
    if (t >= 0xE0)
        t = static_cast<unsigned char>(t - 0x40);
    unsigned char row;
    unsigned char cell;
    if (trail < 0x9F) {
        row = static_cast<unsigned char>(2 * t - 0xE1);
        cell = static_cast<unsigned char>(trail < 0x7F ? trail - 0x1F : trail - 0x20);
    } else {
        row = static_cast<unsigned char>(2 * t - 0xE0);
        cell = static_cast<unsigned char>(trail - 0x7E);
    }
    if (row >= 0x8B)
        row = static_cast<unsigned char>(row - 0x7A);
    else if (row == 0x8A)
        row = 0x0C;
    else if (row >= 0x7F)
        row = static_cast<unsigned char>(row - 0x0B);
    return {row, cell};
}

SjisPair JisToSjis(unsigned char row, unsigned char cell) {
    unsigned int r = row;
    // Row 0x74 cells 0x21..0x26 are the six kanji JIS X 0208 added in 1990; they stay
    // standard kanji instead of going to the user-defined area like the rest of the row.
    const bool addedKanji = r == kUserDefinedFirstRow && cell >= 0x21 && cell <= 0x26;
    if (!addedKanji && r >= kUserDefinedFirstRow &&
        r < unsigned(kUserDefinedFirstRow + kUserDefinedRows))
        r += 0x0B;
    else if (r == 0x0C)
        r += 0x7E;
    else if (r >= 0x11 && r <= 0x1E)
        r += 0x7A;
    int lead = ((int(r) - 0x21) / 2 + 0x81) & 0xFF;
    if (lead >= 0xA0)
        lead = (lead + 0x40) & 0xFF;
    int trail;
    if (r & 1) {
        trail = cell + 0x1F;
        if (trail >= 0x7F)
            ++trail;
    } else {
        trail = cell + 0x7E;
    }
    return {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail & 0xFF)};
}

Result<> ConvertSjisToEuc(const QString& destination, const QString& source) {
    SjisToEucConverter converter;
    return convertFile(destination, source, converter, FileConversionTexts::sjisToEuc());
}

Result<> ConvertSjisToEuc(QFileDevice& destination, const QString& source,
                          const ConversionProgress& progress) {
    SjisToEucConverter converter;
    return convertFile(destination, source, converter, FileConversionTexts::sjisToEuc(), progress);
}

Result<> ConvertEucToSjis(const QString& destination, const QString& source) {
    return ConvertEucToSjis(destination, source, {});
}

Result<> ConvertEucToSjis(const QString& destination, const QString& source,
                          const ConversionProgress& progress) {
    EucToSjisConverter converter;
    return convertFile(destination, source, converter, FileConversionTexts::eucToSjis(), progress);
}
