#include "editor/UrlDetector.h"

#include <QList>

namespace {

const QLatin1StringView Prefixes[] = {
    QLatin1StringView("http://"),   QLatin1StringView("https://"),  QLatin1StringView("ftp://"),
    QLatin1StringView("file://"),   QLatin1StringView("mailto:"),   QLatin1StringView("news:"),
    QLatin1StringView("telnet://"), QLatin1StringView("gopher://"), QLatin1StringView("www."),
};

bool isUrlCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u > 0x20 && u < 0x7F && u != u'"' && u != u'<' && u != u'>' && u != u'`' && u != u'\'';
}

bool isTrailingPunctuation(QChar c) {
    return QStringView(u".,;:!?)]}").contains(c);
}

// The prefix that starts at `i`, preceded by something that cannot be part of a word.
qsizetype prefixAt(QStringView line, qsizetype i) {
    if (i > 0 && line[i - 1].isLetterOrNumber())
        return 0;
    for (QLatin1StringView prefix : Prefixes)
        if (line.sliced(i).startsWith(prefix, Qt::CaseInsensitive))
            return prefix.size();
    return 0;
}

UrlSpan urlStartingAt(QStringView line, qsizetype i) {
    const qsizetype prefix = prefixAt(line, i);
    if (prefix == 0)
        return {};
    qsizetype end = i + prefix;
    while (end < line.size() && isUrlCharacter(line[end]))
        ++end;
    while (end > i + prefix && isTrailingPunctuation(line[end - 1]))
        --end;
    if (end == i + prefix)
        return {}; // a scheme with nothing after it
    return {i, end - i};
}

} // namespace

QList<UrlSpan> findUrls(QStringView line) {
    QList<UrlSpan> urls;
    qsizetype i = 0;
    while (i < line.size()) {
        const UrlSpan span = urlStartingAt(line, i);
        if (span.isValid()) {
            urls.append(span);
            i = span.start + span.length;
        } else {
            ++i;
        }
    }
    return urls;
}

UrlSpan findUrlAt(QStringView line, qsizetype pos) {
    for (const UrlSpan& span : findUrls(line))
        if (pos >= span.start && pos < span.start + span.length)
            return span;
    return {};
}

QUrl linkTarget(const QString& text) {
    return QUrl::fromUserInput(text);
}

bool opensWithoutQuestion(const QUrl& target) {
    const QString scheme = target.scheme();
    return scheme == u"http" || scheme == u"https" || scheme == u"ftp" || scheme == u"mailto";
}
