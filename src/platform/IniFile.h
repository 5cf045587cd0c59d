#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A settings file with the semantics of the classic private-profile calls: sections and keys
// match without regard to letter case, the first of duplicate keys wins, integers read by their
// leading digits, strings lose the blanks at either end and one pair of enclosing quotes and are
// cut at 255 bytes. A string the reader would change is written in double quotes, so that every
// string reads back as it was written. Every line the program does not own survives a
// save in place and in order, with its own line end; a leading byte order mark is kept. Values
// are raw bytes (the file is CP932); callers decode them. The file may hold passwords, so a new
// one is created readable by its owner only.
class IniFile {
public:
    static constexpr int MaxValueBytes = 255;

    IniFile() = default;
    explicit IniFile(QString path);

    // Reads the file; a missing or unreadable file reads as empty. Fails (saying why) only when
    // the file exists but cannot be read.
    Result<> load();
    // Replaces the file atomically (temporary file beside it, then rename), keeping the mode of
    // an existing file and giving a new one mode 0600. On failure nothing changes on disk and
    // the message says why.
    Result<> save() const;

    const QString& path() const { return m_path; }

    bool contains(QByteArrayView section, QByteArrayView key) const;
    QByteArray readString(QByteArrayView section, QByteArrayView key,
                          const QByteArray& fallback) const;
    int readInt(QByteArrayView section, QByteArrayView key, int fallback) const;

    // A value the file cannot hold (see canHold) is Refused: nothing is written. A key whose
    // line already reads as `value` keeps its line as it stands.
    Result<> writeString(QByteArrayView section, QByteArrayView key, const QByteArray& value);
    void writeInt(QByteArrayView section, QByteArrayView key, int value);
    // A value is one line: a CR or LF in it would end the line and could start a section.
    static bool canHold(QByteArrayView value);

    // The whole file as it would be saved.
    QByteArray contents() const;
    void setContents(const QByteArray& bytes);

    // Cuts `value` to at most `limit` bytes without splitting a CP932 double-byte character.
    static QByteArray cutAtCharBoundary(const QByteArray& value, int limit = MaxValueBytes);
    // The private-profile integer rule: optional blanks, optional sign, leading digits; anything
    // negative or without digits reads as 0.
    static int parseLeadingInt(QByteArrayView text);

private:
    qsizetype findSection(QByteArrayView section) const;
    qsizetype sectionEnd(qsizetype sectionLine) const;
    qsizetype findKey(qsizetype sectionLine, QByteArrayView key) const;
    void insertLine(qsizetype at, QByteArray text);

    struct Line {
        QByteArray text;
        QByteArray end; // "\r\n", "\n", or empty for a last line without one
    };
    // The line end most lines have; the first line's on a tie.
    static QByteArray newLineEndOf(const QList<Line>& lines, qsizetype crlfLines);

    QString m_path;
    QList<Line> m_lines;
    QByteArray m_newLineEnd = QByteArrayLiteral("\r\n"); // for lines the program adds
    bool m_byteOrderMark = false;
};
