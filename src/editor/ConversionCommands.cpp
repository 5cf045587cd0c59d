// The character conversion commands of the editor view (199-209): each rewrites the selection
// with one of the pure functions of CharacterConversions.

#include "editor/CVantorpadView.h"

#include "commands/EditorCommands.h"
#include "doc/DocumentHost.h"
#include "editor/CharacterConversions.h"
#include "platform/BusyGuard.h"
#include "settings/AppSettings.h"

#include <QTextBlock>
#include <QTextCursor>

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
    return isKeywordCase(command) || textCursor().hasSelection();
}

void CVantorpadView::runConversion(int command) {
    if (!conversionEnabled(command) || !textCursor().hasSelection())
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

// Each line of the selection is replaced on its own, so the lines and their line ends stay as
// they were; the whole replacement is one undo step, and the caret ends after it. Each line's
// piece is converted knowing the character in front of it.
void CVantorpadView::replaceSelectionLineByLine(
    const std::function<QString(QStringView, QChar)>& convert) {
    BusyGuard busy(this);
    QTextCursor selection = textCursor();
    const int start = selection.selectionStart();
    int end = selection.selectionEnd();
    QTextCursor edit(document());
    edit.beginEditBlock();
    for (QTextBlock block = document()->findBlock(start);
         block.isValid() && block.position() <= end; block = block.next()) {
        const int from = std::max(start, block.position());
        const int to = std::min(end, block.position() + block.length() - 1);
        if (to <= from)
            continue;
        edit.setPosition(from);
        edit.setPosition(to, QTextCursor::KeepAnchor);
        const QString before = edit.selectedText();
        const QChar previous =
            from > block.position() ? document()->characterAt(from - 1) : QChar();
        const QString after = convert(before, previous);
        if (after != before) {
            edit.insertText(after);
            end += int(after.size() - before.size());
        }
    }
    edit.endEditBlock();
    edit.setPosition(end);
    setTextCursor(edit);
}
