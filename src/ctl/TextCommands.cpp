// vantorpadctl text: the editor's character conversions applied to a whole file, read and
// written as documents are (CP932 losslessly, or UTF-8), the destination replaced atomically.

#include "ctl/CtlCommand.h"

#include "doc/DocumentText.h"
#include "doc/TextFileIO.h"
#include "editor/CharacterConversions.h"
#include "platform/Prompt.h"

#include <cstdio>
#include <optional>

namespace {

using CharacterConversions::Conversion;

std::optional<Conversion> conversionOf(const QString& option) {
    const std::pair<const char16_t*, Conversion> options[] = {
        {u"--upper", Conversion::Upper},
        {u"--lower", Conversion::Lower},
        {u"--kana-full", Conversion::KanaToFullWidth},
        {u"--full", Conversion::ToFullWidth},
        {u"--half", Conversion::ToHalfWidth},
        {u"--katakana", Conversion::ToKatakana},
        {u"--hiragana", Conversion::ToHiragana},
    };
    for (const auto& [name, conversion] : options) {
        if (option == QStringView(name))
            return conversion;
    }
    return std::nullopt;
}

int runText(const QStringList& args) {
    const std::optional<Conversion> conversion =
        args.size() == 3 ? conversionOf(args.at(0)) : std::nullopt;
    if (!conversion) {
        std::fprintf(stderr, "usage: vantorpadctl text --upper|--lower|--kana-full|--full|"
                             "--half|--katakana|--hiragana SRC DST\n");
        return 1;
    }
    const Result<QByteArray> read = TextFileIO::readFile(args.at(1));
    if (!read.ok()) {
        Prompt::error(read.message());
        return 1;
    }
    const DecodedText decoded = decodeDocument(*read);
    QString paragraphs = CharacterConversions::convert(decoded.text, *conversion);
    paragraphs.replace(u'\n', QChar::ParagraphSeparator);
    const QString text = joinLines(paragraphs, decoded.prevailing, decoded.exceptions);
    const EncodeResult encoded = encodeDocument(text, decoded.encoding);
    if (!encoded.ok()) {
        // The same words as the editor's own save.
        Prompt::error(QStringLiteral("%1 行目の文字%2は %3 で保存出来ない為、保存を中止しました。")
                          .arg(lineNumberAt(text, encoded.unencodableAt))
                          .arg(describeCharacter(text, encoded.unencodableAt),
                               encodingName(decoded.encoding)));
        return 1;
    }
    if (const Result<> written = TextFileIO::writeFile(args.at(2), encoded.bytes); !written.ok()) {
        Prompt::error(written.message());
        return 1;
    }
    return 0;
}

} // namespace

QList<CtlCommand> textCommands() {
    return {{"text", "--upper|--lower|--kana-full|--full|--half|--katakana|--hiragana SRC DST",
             &runText}};
}
