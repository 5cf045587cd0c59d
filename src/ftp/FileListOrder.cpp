#include "ftp/FileListOrder.h"

#include "encoding/LosslessCodec.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype MaxCompared = 255;

int compareKeys(const QByteArray& a, const QByteArray& b) {
    qsizetype n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.constData(), b.constData(), size_t(n)) : 0;
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace

FileListOrder::FileListOrder(int columnCount, int nameColumn)
    : m_states(size_t(std::max(columnCount, 1)), 0), m_nameColumn(nameColumn),
      m_sortColumn(nameColumn) {}

int FileListOrder::state(int column) const {
    if (column < 0 || column >= columnCount())
        return 0;
    return m_states[size_t(column)];
}

void FileListOrder::toggle(int column) {
    if (column < 0 || column >= columnCount())
        return;
    int& s = m_states[size_t(column)];
    s = s == Ascending ? Descending : Ascending;
    m_sortColumn = column;
}

void FileListOrder::refill() {
    m_states[size_t(m_nameColumn)] = Descending;
    toggle(m_nameColumn);
}

QByteArray FileListOrder::sortKey(const QString& text) {
    // Plain ASCII, as most names are, is its own CP932 text.
    const bool ascii =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    QByteArray bytes =
        ascii ? QStringView(text).left(MaxCompared).toLatin1() : toCp932(text).left(MaxCompared);
    // Fold ASCII capitals to small letters, but never the second byte of a double-byte
    // character, which may look like a letter.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        auto c = static_cast<unsigned char>(bytes[i]);
        if (isCp932LeadByte(c)) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            bytes[i] = char(c + ('a' - 'A'));
        }
    }
    return bytes;
}

int FileListOrder::compareText(const QString& a, const QString& b) {
    return compareKeys(sortKey(a), sortKey(b));
}

QString FileListOrder::sizeText(qint64 size) {
    return QString::number(size).rightJustified(10, u' ');
}

bool FileListOrder::lessThan(const Row& a, const Row& b) const {
    if (a.directory != b.directory)
        return a.directory;
    QString ta = a.texts.value(m_sortColumn);
    QString tb = b.texts.value(m_sortColumn);
    int c = compareText(ta, tb);
    return ascending() ? c < 0 : c > 0;
}

void FileListOrder::sort(std::vector<Row>& rows) const {
    // The keys are made once per row, side by side in one block: a list of 100,000 entries is
    // compared millions of times and should not cost 100,000 allocations either.
    struct Keyed {
        qsizetype offset;
        qsizetype length;
        quint32 index;
        bool directory;
    };
    QByteArray keys;
    std::vector<Keyed> keyed;
    keyed.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        QByteArray key = sortKey(rows[i].texts.value(m_sortColumn));
        keyed.push_back({keys.size(), key.size(), quint32(i), rows[i].directory});
        keys += key;
    }
    const char* base = keys.constData();
    const bool up = ascending();
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& x, const Keyed& y) {
        if (x.directory != y.directory)
            return x.directory;
        qsizetype n = std::min(x.length, y.length);
        int c = n ? std::memcmp(base + x.offset, base + y.offset, size_t(n)) : 0;
        if (c == 0)
            c = x.length < y.length ? -1 : (x.length > y.length ? 1 : 0);
        return up ? c < 0 : c > 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (const Keyed& k : keyed)
        sorted.push_back(std::move(rows[k.index]));
    rows = std::move(sorted);
}
