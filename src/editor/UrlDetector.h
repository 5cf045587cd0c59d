#pragma once

#include <QString>
#include <QUrl>

// A URL found in a line of text: its start and length, or length 0 for none.
struct UrlSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    bool isValid() const { return length > 0; }
    bool operator==(const UrlSpan&) const = default;
};

// The URL of `line` that covers position `pos`, as the editor detects them: a known scheme
// ("http://", "https://", "ftp://", "file://", "mailto:", "news:", "telnet://", "gopher://") or
// "www.", followed by printable ASCII up to a blank, a quote or an angle bracket; closing
// punctuation at the very end is not part of it.
UrlSpan findUrlAt(QStringView line, qsizetype pos);

// Every URL of `line`, left to right.
QList<UrlSpan> findUrls(QStringView line);

// What a double-click on the detected link `text` hands to the desktop ("www." becomes an http
// address).
QUrl linkTarget(const QString& text);

// Whether a link opens straight away: web pages, FTP and mail. Any other scheme (file://,
// telnet://, news:, gopher://) may open a local file or start a program, so the user is shown
// the target and asked first.
bool opensWithoutQuestion(const QUrl& target);
