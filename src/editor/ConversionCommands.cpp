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
    replaceSelectionLineByLine(convert);
}

// The lines of the selection are converted one by one, each knowing the character in front of
// it, and go back as one replacement: one undo step, the line ends as they were, the caret after
// the new text. The conversions see kept bytes as the lossless codecs give them, so that a byte
// after a kept lead byte stays what it was.
void CVantorpadView::replaceSelectionLineByLine(
    const std::function<QString(QStringView, QChar)>& convert) {
    BusyGuard busy(this);
    const long from = sendLong(SCI_GETSELECTIONSTART);
    const long to = sendLong(SCI_GETSELECTIONEND);
    const long before = sendLong(SCI_POSITIONBEFORE, static_cast<unsigned long>(from));
    const char* text = reinterpret_cast<const char*>(
        sendLong(SCI_GETRANGEPOINTER, static_cast<unsigned long>(before), to - before));
    const QString previousText = losslessTextOf(QByteArrayView(text, from - before));
    const QString selected = losslessTextOf(QByteArrayView(text + (from - before), to - from));
    const auto isLineEnd = [](QChar c) { return c == u'\n' || c == u'\r'; };
    QChar previous =
        previousText.isEmpty() || isLineEnd(previousText.back()) ? QChar() : previousText.back();
    QString converted;
    converted.reserve(selected.size());
    qsizetype at = 0;
    while (at < selected.size()) {
        qsizetype lineEnd = at;
        while (lineEnd < selected.size() && !isLineEnd(selected[lineEnd]))
            ++lineEnd;
        converted.append(convert(QStringView(selected).sliced(at, lineEnd - at), previous));
        qsizetype next = lineEnd;
        while (next < selected.size() && isLineEnd(selected[next]))
            ++next;
        converted.append(QStringView(selected).sliced(lineEnd, next - lineEnd));
        previous = QChar();
        at = next;
    }
    if (converted == selected) {
        SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(to));
        return;
    }
    const QByteArray utf8 = editorUtf8Of(converted);
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_REPLACESEL, 0UL, utf8.constData());
    SendScintilla(SCI_ENDUNDOACTION);
}
