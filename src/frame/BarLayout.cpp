#include "frame/BarLayout.h"

#include "platform/IniFile.h"

namespace {

const QByteArray Section = QByteArrayLiteral("General");
constexpr int PartBytes = 200; // base64 text per key, well under the value limit
constexpr int MaxParts = 64;

QByteArray partKey(int index) {
    return QByteArrayLiteral("State") + QByteArray::number(index);
}

QByteArray screenText(QSize screen) {
    return QByteArray::number(screen.width()) + 'x' + QByteArray::number(screen.height());
}

} // namespace

std::optional<QByteArray> BarLayout::load(const IniFile& ini, QSize screen) {
    if (ini.readString(Section, "Screen", {}) != screenText(screen))
        return std::nullopt;
    const int parts = ini.readInt(Section, "Parts", 0);
    if (parts <= 0 || parts > MaxParts)
        return std::nullopt;
    QByteArray text;
    for (int i = 0; i < parts; ++i) {
        const QByteArray part = ini.readString(Section, partKey(i), {});
        if (part.isEmpty())
            return std::nullopt;
        text += part;
    }
    auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return std::nullopt;
    return decoded.decoded;
}

void BarLayout::store(IniFile& ini, const QByteArray& state, QSize screen) {
    const QByteArray text = state.toBase64();
    const int parts = int((text.size() + PartBytes - 1) / PartBytes);
    if (parts > MaxParts) {
        ini.writeInt(Section, "Parts", 0);
        return;
    }
    // Base64 text and the size text are plain ASCII on one line: the file always holds them.
    (void)ini.writeString(Section, "Screen", screenText(screen));
    ini.writeInt(Section, "Parts", parts);
    for (int i = 0; i < parts; ++i)
        (void)ini.writeString(Section, partKey(i), text.mid(qsizetype(i) * PartBytes, PartBytes));
}
