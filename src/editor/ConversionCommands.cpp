// The character conversion commands of the editor view (199-209): each rewrites the selection
// with one of the pure functions of CharacterConversions.

#include "editor/CVantorpadView.h"

#include "commands/EditorCommands.h"
#include "doc/DocumentHost.h"
#include "editor/CharacterConversions.h"
#include "platform/BusyGuard.h"
#include "settings/AppSettings.h"

#include <functional>

namespace {

using CharacterConversions::Conversion;

std::optional<Conversion> conversionOf(int command) {
    using namespace EditorCommand;
    switch (command) {
    case ToUpper:
        return Conversion::Upper;
    case ToLower:
        return Conversion::Lower;
    case HalfKanaToFull:
        return Conversion::KanaToFullWidth;
    case HalfToFull:
        return Conversion::ToFullWidth;
    case FullToHalf:
        return Conversion::ToHalfWidth;
    case HiraganaToKatakana:
        return Conversion::ToKatakana;
    case KatakanaToHiragana:
        return Conversion::ToHiragana;
    default:
        return std::nullopt;
    }
}

bool isKeywordCase(int command) {
    return command >= EditorCommand::Keyword1Upper && command <= EditorCommand::Keyword2Lower;
}

} // namespace

bool CVantorpadView::isConversion(int command) {
    return conversionOf(command).has_value() || isKeywordCase(command);
}

bool CVantorpadView::conversionEnabled(int command) const {
    if (isReadOnly())
        return false;
    // The keyword conversions are always offered; with nothing selected they change nothing.
    return isKeywordCase(command) || hasSelection();
}

void CVantorpadView::runConversion(int command) {
    if (!conversionEnabled(command) || !hasSelection())
        return;
    std::function<QString(QStringView, QChar)> convert;
    if (std::optional<Conversion> conversion = conversionOf(command)) {
        convert = [c = *conversion](QStringView text, QChar before) {
            return CharacterConversions::convert(text, c, before);
        };
    } else {
        const AppSettings& s = m_host.settings();
        const bool set1 = command <= EditorCommand::Keyword1Lower;
        const QStringList keywords = set1 ? QStringList(s.Key1.begin(), s.Key1.end())
                                          : QStringList(s.Key2.begin(), s.Key2.end());
        const bool upper =
            command == EditorCommand::Keyword1Upper || command == EditorCommand::Keyword2Upper;
        convert = [keywords, upper](QStringView text, QChar before) {
            return CharacterConversions::convertKeywordCase(text, keywords, upper, before);
        };
    }
    replaceSelectionConverted(convert);
}

// The selection is converted knowing the character in front of it (none after a line end) and
// goes back as one replacement of the stretch that changed: one undo step, the caret after the
// new text. The conversions see kept bytes as the lossless codecs give them, so that a byte
// after a kept lead byte stays what it was; no conversion touches a line end.
void CVantorpadView::replaceSelectionConverted(
    const std::function<QString(QStringView, QChar)>& convert) {
    BusyGuard busy(this);
    const long from = sendLong(SCI_GETSELECTIONSTART);
    const long to = sendLong(SCI_GETSELECTIONEND);
    long base = 0;
    const QByteArrayView bytes = documentBytes(from, to, &base);
    const QString previousText = losslessTextOf(bytes.first(from - base));
    const bool afterLineEnd =
        previousText.isEmpty() || previousText.back() == u'\n' || previousText.back() == u'\r';
    const QByteArrayView selected = bytes.sliced(from - base);
    const QByteArray converted = editorUtf8Of(
        convert(losslessTextOf(selected), afterLineEnd ? QChar() : previousText.back()));
    // The bytes that stayed as they were at either end, in whole characters.
    qsizetype head = 0;
    const qsizetype shorter = std::min(selected.size(), converted.size());
    while (head < shorter && selected[head] == converted[head])
        ++head;
    while (head > 0 && head < converted.size() && (uchar(converted[head]) & 0xC0) == 0x80)
        --head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           selected[selected.size() - 1 - tail] == converted[converted.size() - 1 - tail])
        ++tail;
    while (tail > 0 && (uchar(converted[converted.size() - tail]) & 0xC0) == 0x80)
        --tail;
    if (head < converted.size() - tail || head < selected.size() - tail)
        replaceRange(from + long(head), to - long(tail),
                     QByteArrayView(converted).sliced(head, converted.size() - tail - head));
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(from + converted.size()));
}
