#include "editor/KeywordMatcher.h"

#include <QStringMatcher>
#include <future>

#include <vector>

QString foldCaseKeepingPositions(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    const char16_t* in = text.utf16();
    auto* out = reinterpret_cast<char16_t*>(folded.data());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80)
            out[i] = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
        else if (QChar::isSurrogate(c))
            out[i] = c;
        else
            out[i] = char16_t(QChar::toCaseFolded(char32_t(c)));
    }
    return folded;
}

namespace {

struct Search {
    QString keyword;
    int set = 0;
};

QList<KeywordMatch> matchesOf(QStringView folded, const Search& search) {
    QList<KeywordMatch> found;
    const QStringMatcher matcher(search.keyword, Qt::CaseSensitive);
    const qsizetype length = search.keyword.size();
    qsizetype from = 0;
    while (true) {
        const qsizetype at = matcher.indexIn(folded, from);
        if (at < 0)
            break;
        found.append({at, length, search.set});
        from = at + length;
    }
    return found;
}

} // namespace

QList<KeywordMatch> findKeywordMatches(QStringView text, const QStringList& set1,
                                       const QStringList& set2) {
    std::vector<Search> searches;
    for (int set = 0; set < 2; ++set)
        for (const QString& keyword : set == 0 ? set1 : set2)
            if (!keyword.isEmpty())
                searches.push_back({foldCaseKeepingPositions(keyword), set});
    QList<KeywordMatch> all;
    if (searches.empty())
        return all;
    const QString folded = foldCaseKeepingPositions(text);
    // Each keyword is searched on its own, so the searches can share the processor cores; the
    // results are put together in keyword order, which is the order of precedence.
    std::vector<std::future<QList<KeywordMatch>>> perKeyword;
    for (const Search& s : searches)
        perKeyword.push_back(
            std::async(std::launch::async, [&folded, &s] { return matchesOf(folded, s); }));
    for (auto& found : perKeyword)
        all.append(found.get());
    return all;
}
