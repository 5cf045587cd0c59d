#include "recovery/RecoveryRecord.h"

#include "encoding/LosslessUtf8.h"
#include "settings/AppSettings.h"
#include "settings/ServerProfile.h"

#include <QList>

#include <utility>

namespace {

constexpr QByteArrayView Magic = "VANTORPAD-RECOVERY ";

const std::pair<RecoveryKind, QByteArrayView> KindNames[] = {
    {RecoveryKind::Local, "local"},
    {RecoveryKind::Server, "server"},
    {RecoveryKind::Untitled, "untitled"},
};
const std::pair<TextEncoding, QByteArrayView> EncodingNames[] = {
    {TextEncoding::Cp932, "cp932"},
    {TextEncoding::Utf8, "utf-8"},
    {TextEncoding::Utf8Bom, "utf-8-bom"},
};
const std::pair<LineEnd, QByteArrayView> LineEndNames[] = {
    {LineEnd::Lf, "lf"},
    {LineEnd::CrLf, "crlf"},
    {LineEnd::Cr, "cr"},
};

template <class E, std::size_t N>
QByteArray nameOf(const std::pair<E, QByteArrayView> (&names)[N], E value) {
    for (const auto& [v, name] : names)
        if (v == value)
            return name.toByteArray();
    return names[0].second.toByteArray();
}

template <class E, std::size_t N>
std::optional<E> valueOf(const std::pair<E, QByteArrayView> (&names)[N], QByteArrayView name) {
    for (const auto& [v, n] : names)
        if (n == name)
            return v;
    return std::nullopt;
}

// A value stays on its line: '%', CR and LF are written as %XX.
QByteArray escaped(const QString& value) {
    QByteArray out = value.toUtf8();
    out.replace('%', "%25").replace('\r', "%0D").replace('\n', "%0A");
    return out;
}

QString unescaped(QByteArrayView value) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(value.toByteArray()));
}

class HeaderWriter {
public:
    void add(QByteArrayView key, const QByteArray& value) {
        m_out += key.toByteArray() + ": " + value + '\n';
    }
    void add(QByteArrayView key, const QString& value) { add(key, escaped(value)); }
    void add(QByteArrayView key, qint64 value) { add(key, QByteArray::number(value)); }
    QByteArray m_out;
};

QString badValue(QByteArrayView key) {
    return QStringLiteral("復元ファイルの %1 の値が不正です。").arg(QString::fromLatin1(key));
}

// The header's lines by key.
class Header {
public:
    explicit Header(QByteArrayView text) {
        for (QByteArrayView line : QByteArray(text.toByteArray()).split('\n')) {
            const qsizetype colon = line.indexOf(": ");
            if (colon > 0)
                m_values.append(
                    {line.first(colon).toByteArray(), line.sliced(colon + 2).toByteArray()});
        }
    }
    std::optional<QByteArray> raw(QByteArrayView key) const {
        for (const auto& [k, v] : m_values)
            if (k == key)
                return v;
        return std::nullopt;
    }
    QString text(QByteArrayView key) const { return unescaped(raw(key).value_or(QByteArray())); }
    std::optional<qint64> number(QByteArrayView key) const {
        bool ok = false;
        const qint64 n = raw(key).value_or(QByteArray()).toLongLong(&ok);
        return ok ? std::optional<qint64>(n) : std::nullopt;
    }

private:
    QList<std::pair<QByteArray, QByteArray>> m_values;
};

// Reads the numbers of a header into `record`; the name of the first key that is missing or
// out of range, else nothing.
std::optional<QByteArrayView> readNumbers(const Header& header, RecoveryRecord& record) {
    if (record.kind != RecoveryKind::Server)
        return std::nullopt;
    RecoveryProfile& p = record.profile;
    const auto in = [&](QByteArrayView key, qint64 low, qint64 high, int& to) {
        const std::optional<qint64> n = header.number(key);
        if (!n || *n < low || *n > high)
            return false;
        to = int(*n);
        return true;
    };
    if (!in("profile", -1, AppSettings::ProfileCount - 1, p.number))
        return QByteArrayView("profile");
    if (!in("protocol", 0, 2, p.protocol))
        return QByteArrayView("protocol");
    if (!in("port", 0, MaxPortNumber, p.port))
        return QByteArrayView("port");
    if (!in("code", 0, 2, p.code))
        return QByteArrayView("code");
    if (header.raw("stamp-size")) {
        const std::optional<qint64> size = header.number("stamp-size");
        if (!size || *size < -1)
            return QByteArrayView("stamp-size");
        record.stamp = ServerFileStamp{*size, header.raw("stamp-modified").value_or(QByteArray())};
    }
    return std::nullopt;
}

} // namespace

namespace RecoveryFormat {

QByteArray write(const RecoveryRecord& record) {
    HeaderWriter h;
    h.m_out = Magic.toByteArray() + QByteArray::number(RecoveryRecord::FormatVersion) + '\n';
    h.add("kind", nameOf(KindNames, record.kind));
    h.add("title", record.title);
    h.add("path", record.path);
    h.add("encoding", nameOf(EncodingNames, record.encoding));
    h.add("line-end", nameOf(LineEndNames, record.lineEnd));
    h.add("body", QByteArray(record.bodyIsEditorText ? "editor" : "file"));
    h.add("saved", record.savedAt.toUTC().toString(Qt::ISODateWithMs));
    if (record.kind == RecoveryKind::Server) {
        const RecoveryProfile& p = record.profile;
        h.add("profile", p.number);
        h.add("server", p.server);
        h.add("user", p.user);
        h.add("protocol", p.protocol);
        h.add("port", p.port);
        h.add("code", p.code);
        h.add("server-dir", p.directory);
        h.add("file-name", record.fileName);
        if (record.stamp) {
            h.add("stamp-size", record.stamp->size);
            h.add("stamp-modified", escaped(QString::fromLatin1(record.stamp->modified)));
        }
    }
    h.add("body-size", record.body.size());
    return h.m_out + '\n' + record.body;
}

Result<RecoveryRecord> read(const QByteArray& bytes) {
    const QString notOurs = QStringLiteral("復元ファイルではありません。");
    if (!bytes.startsWith(Magic))
        return Result<RecoveryRecord>::failed(notOurs);
    const qsizetype firstEnd = bytes.indexOf('\n');
    const qsizetype headerEnd = bytes.indexOf("\n\n");
    if (firstEnd < 0 || headerEnd < 0)
        return Result<RecoveryRecord>::failed(QStringLiteral("復元ファイルが途中で切れています。"));
    bool numeric = false;
    const int version = bytes.mid(Magic.size(), firstEnd - Magic.size()).toInt(&numeric);
    if (!numeric)
        return Result<RecoveryRecord>::failed(notOurs);
    if (version != RecoveryRecord::FormatVersion)
        return Result<RecoveryRecord>::failed(
            QStringLiteral("復元ファイルの形式(版 %1)はこのプログラムでは読めません。")
                .arg(version));

    const Header header(QByteArrayView(bytes).sliced(firstEnd + 1, headerEnd - firstEnd - 1));
    RecoveryRecord record;
    const std::optional<RecoveryKind> kind = valueOf(KindNames, header.raw("kind").value_or(""));
    const std::optional<TextEncoding> encoding =
        valueOf(EncodingNames, header.raw("encoding").value_or(""));
    const std::optional<LineEnd> lineEnd =
        valueOf(LineEndNames, header.raw("line-end").value_or(""));
    const QByteArray body = header.raw("body").value_or("");
    if (!kind)
        return Result<RecoveryRecord>::failed(badValue("kind"));
    if (!encoding)
        return Result<RecoveryRecord>::failed(badValue("encoding"));
    if (!lineEnd)
        return Result<RecoveryRecord>::failed(badValue("line-end"));
    if (body != "file" && body != "editor")
        return Result<RecoveryRecord>::failed(badValue("body"));
    record.kind = *kind;
    record.encoding = *encoding;
    record.lineEnd = *lineEnd;
    record.bodyIsEditorText = body == "editor";
    record.title = header.text("title");
    record.path = header.text("path");
    record.savedAt = QDateTime::fromString(header.text("saved"), Qt::ISODateWithMs);
    if (record.kind != RecoveryKind::Untitled && record.path.isEmpty())
        return Result<RecoveryRecord>::failed(badValue("path"));
    if (record.kind == RecoveryKind::Server) {
        record.profile.server = header.text("server");
        record.profile.user = header.text("user");
        record.profile.directory = header.text("server-dir");
        record.fileName = header.text("file-name");
        if (record.fileName.isEmpty())
            return Result<RecoveryRecord>::failed(badValue("file-name"));
    }
    if (const std::optional<QByteArrayView> bad = readNumbers(header, record))
        return Result<RecoveryRecord>::failed(badValue(*bad));
    const std::optional<qint64> size = header.number("body-size");
    if (!size || *size < 0)
        return Result<RecoveryRecord>::failed(badValue("body-size"));
    const qsizetype bodyStart = headerEnd + 2;
    if (bytes.size() - bodyStart != *size)
        return Result<RecoveryRecord>::failed(QStringLiteral("復元ファイルが途中で切れています。"));
    record.body = bytes.sliced(bodyStart);
    return record;
}

} // namespace RecoveryFormat

EditorText recoveredEditorText(const RecoveryRecord& record) {
    EditorText text;
    text.encoding = record.encoding;
    text.mainLineEnd = record.lineEnd;
    if (record.bodyIsEditorText) {
        text.utf8 = record.body;
        return text;
    }
    QByteArrayView body = record.body;
    if (record.encoding == TextEncoding::Utf8Bom && body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    text.utf8 =
        editorUtf8Of(record.encoding == TextEncoding::Cp932 ? LosslessCodec::cp932().decode(body)
                                                            : LosslessUtf8::decode(body));
    return text;
}

int recoveryProfileNumber(const AppSettings& settings, const ServerProfile& profile) {
    for (int i = 0; i < AppSettings::ProfileCount; ++i) {
        const ServerProfile& p = settings.Profiles[std::size_t(i)];
        if (p.Server == profile.Server && p.User == profile.User &&
            p.Protocol == profile.Protocol &&
            effectivePort(p.Port, p.Protocol) == effectivePort(profile.Port, profile.Protocol))
            return i;
    }
    return -1;
}

bool recoveryProfileMatches(const AppSettings& settings, const RecoveryProfile& kept) {
    if (kept.number < 0 || kept.number >= AppSettings::ProfileCount)
        return false;
    const ServerProfile& p = settings.Profiles[std::size_t(kept.number)];
    return p.Server == kept.server && p.User == kept.user && p.Protocol == kept.protocol &&
           effectivePort(p.Port, p.Protocol) == effectivePort(kept.port, kept.protocol);
}
