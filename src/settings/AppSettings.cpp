#include "settings/AppSettings.h"

#include "encoding/LosslessCodec.h"
#include "platform/IniFile.h"
#include "settings/ServerProfile.h"

#include <QDir>
#include <QHash>

#include <cstdio>

namespace {

// Reads and writes one section, decoding strings from the file's CP932.
class SectionIo {
public:
    SectionIo(const IniFile& ini, QByteArray section) : m_in(&ini), m_section(std::move(section)) {}
    SectionIo(IniFile& ini, QByteArray section, QStringList* kept)
        : m_in(&ini), m_out(&ini), m_kept(kept), m_section(std::move(section)) {}

    void read(const char* key, int& value) const { value = m_in->readInt(m_section, key, value); }
    void read(const char* key, QString& value) const {
        // The value held now is the fallback: it came from the file or from the program's own
        // texts, so CP932 holds it.
        value = fromCp932(m_in->readString(m_section, key, toCp932(value)));
    }
    void write(const char* key, int value) const { m_out->writeInt(m_section, key, value); }
    void write(const char* key, const QString& value) const {
        if (!writeSettingsText(*m_out, m_section, key, value))
            m_kept->append(
                QStringLiteral("[%1] %2").arg(QLatin1String(m_section), QLatin1String(key)));
    }

private:
    const IniFile* m_in;
    IniFile* m_out = nullptr;
    QStringList* m_kept = nullptr;
    QByteArray m_section;
};

QByteArray numbered(const char* format, int n) {
    char key[32];
    std::snprintf(key, sizeof key, format, n);
    return key;
}

// One table of every key lets load and store walk the same order without repeating it.
template <typename Io, typename Settings> void visitPos(const Io& io, Settings& s) {
    io("Save", s.Save);
    io("ToolBar", s.ToolBar);
    io("FindBox", s.FindBox);
    io("Show", s.Show);
    io("Left", s.Left);
    io("Top", s.Top);
    io("Right", s.Right);
    io("Bottom", s.Bottom);
}

template <typename Io, typename Settings> void visitEnvAfterDirs(const Io& io, Settings& s) {
    io("StringFile", s.StringFile);
    io("SvFileDel", s.SvFileDel);
    io("BackColor", s.BackColor);
    io("ForeColor", s.ForeColor);
    io("Bold", s.Bold);
    io("Italic", s.Italic);
    io("Keyword1", s.Keyword1);
    io("Keyword2", s.Keyword2);
    io("FontName", s.FontName);
    io("FontSize", s.FontSize);
    io("WordWrap", s.WordWrap);
    io("WindBar", s.WindBar);
    io("TabCount", s.TabCount);
    io("AutoUrl", s.AutoUrl);
    io("DelEOF", s.DelEOF);
}

template <typename Io, typename Settings> void visitFilter(const Io& io, Settings& s) {
    for (int i = 0; i < AppSettings::FilterKinds; ++i)
        io(numbered("Title%d", i + 1), s.Title[i]);
    for (int i = 0; i < AppSettings::FilterKinds; ++i)
        io(numbered("Kind%d", i + 1), s.Kind[i]);
}

template <typename Io, typename Settings> void visitSvFilterLists(const Io& io, Settings& s) {
    for (int i = 0; i < AppSettings::ServerExtensions; ++i)
        io(numbered("Ext%d", i + 1), s.Ext[i]);
    for (int i = 0; i < AppSettings::ServerExtensions; ++i)
        io(numbered("Icon%d", i + 1), s.Icon[i]);
}

template <typename Io, typename Settings> void visitServer(const Io& io, Settings& s) {
    io("DefaultDisp", s.DefaultDisp);
    io("DefaultNo", s.DefaultNo);
    io("FtpUse", s.FtpUse);
}

template <typename Io, typename Profile> void visitProfile(const Io& io, Profile& p) {
    io("Server", p.Server);
    io("User", p.User);
    io("Passwd", p.Passwd);
    io("Code", p.Code);
    io("Dir", p.Dir);
    io("Update", p.Update);
    io("DirChg", p.DirChg);
    io("Special", p.Special);
    io("BackMode", p.BackMode);
    io("BackNo", p.BackNo);
    io("BackExt", p.BackExt);
    io("NameSmall", p.NameSmall);
    io("SvDel", p.SvDel);
    io("Port", p.Port);
    for (int j = 0; j < ServerProfile::HistoryCount; ++j)
        io(numbered("HisDir%02d", j), p.HisDir[j]);
}

// Keys of later versions: read when there, written only when set or already in the file, so a
// file of a profile that uses none of them is saved byte for byte as it was.
template <typename Io, typename Profile> void visitLaterProfileKeys(const Io& io, Profile& p) {
    io("Protocol", p.Protocol);
    io("KeyFile", p.KeyFile);
    io("SafeUpload", p.SafeUpload);
}

void storeLaterProfileKeys(IniFile& ini, const QByteArray& section, const ServerProfile& p,
                           QStringList& kept) {
    SectionIo io(ini, section, &kept);
    if (p.Protocol != ProtocolFtp || ini.contains(section, "Protocol"))
        io.write("Protocol", p.Protocol);
    if (!p.KeyFile.isEmpty() || ini.contains(section, "KeyFile"))
        io.write("KeyFile", p.KeyFile);
    if (p.SafeUpload != 0 || ini.contains(section, "SafeUpload"))
        io.write("SafeUpload", p.SafeUpload);
}

template <typename Io, typename View> void visitEditorView(const Io& io, View& v) {
    io("LineNumbers", v.LineNumbers);
    io("CaretLine", v.CaretLine);
    io("BraceMatch", v.BraceMatch);
    io("ShowBlanks", v.ShowBlanks);
    io("Folding", v.Folding);
}

// A file of a version without these keys is saved as it was until the user changes one.
void storeEditorView(IniFile& ini, const AppSettings::EditorView& v) {
    const AppSettings::EditorView defaults;
    QHash<QByteArray, int> fallback;
    visitEditorView([&](const char* key, const int& value) { fallback.insert(key, value); },
                    defaults);
    visitEditorView(
        [&](const char* key, const int& value) {
            if (value != fallback.value(key) || ini.contains("View", key))
                ini.writeInt("View", key, value);
        },
        v);
}

template <typename Io, typename Network> void visitNetwork(const Io& io, Network& n) {
    io("Proxy", n.Proxy);
    io("Name", n.Name);
    io("Passive", n.Passive);
    io("Raw", n.Raw);
    io("List", n.List);
    io("SpDelim", n.SpDelim);
}

template <typename Io, typename Settings> void visitKeyWord(const Io& io, Settings& s) {
    for (int i = 0; i < AppSettings::KeywordCount; ++i)
        io(numbered("Key1[%d]", i), s.Key1[i]);
    for (int i = 0; i < AppSettings::KeywordCount; ++i)
        io(numbered("Key2[%d]", i), s.Key2[i]);
}

struct Reader {
    const IniFile& ini;
    auto in(const char* section) const {
        SectionIo io(ini, section);
        return [io](const QByteArray& key, auto& value) { io.read(key.constData(), value); };
    }
};

struct Writer {
    IniFile& ini;
    QStringList& kept;
    auto in(const char* section) const {
        SectionIo io(ini, section, &kept);
        return [io](const QByteArray& key, const auto& value) { io.write(key.constData(), value); };
    }
};

} // namespace

void AppSettings::load(const IniFile& ini) {
    Reader r{ini};
    visitPos(r.in("Pos"), *this);

    auto env = r.in("Env");
    env("PcDir", PcDir);
    TranDir = PcDir; // a file without TranDir downloads into the local directory
    env("TranDir", TranDir);
    visitEnvAfterDirs(env, *this);
    visitEditorView(r.in("View"), View);

    visitFilter(r.in("Filter"), *this);
    ExtFlt = ini.readInt("SvFilter", "ExtFlt", 0);
    visitSvFilterLists(r.in("SvFilter"), *this);
    visitServer(r.in("Server"), *this);

    for (int i = 0; i < ProfileCount; ++i) {
        ServerProfile profile; // literal defaults, not the values held now
        visitProfile(r.in(numbered("Server%02d", i).constData()), profile);
        visitLaterProfileKeys(r.in(numbered("Server%02d", i).constData()), profile);
        Profiles[i] = profile;
    }
    visitNetwork(r.in("Network"), Network);
    visitKeyWord(r.in("KeyWord"), *this);

    SearchHistory.clear();
    for (int n = 0;; ++n) {
        QByteArray value = ini.readString("Search", numbered("%02d", n), QByteArray());
        if (value.isEmpty())
            break;
        SearchHistory.append(fromCp932(value));
    }
}

QStringList AppSettings::store(IniFile& ini) const {
    QStringList kept;
    Writer w{ini, kept};
    visitPos(w.in("Pos"), *this);

    auto env = w.in("Env");
    env("PcDir", PcDir);
    env("TranDir", TranDir);
    visitEnvAfterDirs(env, *this);
    storeEditorView(ini, View);

    visitFilter(w.in("Filter"), *this);
    ini.writeInt("SvFilter", "ExtFlt", ExtFlt);
    visitSvFilterLists(w.in("SvFilter"), *this);
    visitServer(w.in("Server"), *this);
    for (int i = 0; i < ProfileCount; ++i) {
        visitProfile(w.in(numbered("Server%02d", i).constData()), Profiles[i]);
        storeLaterProfileKeys(ini, numbered("Server%02d", i), Profiles[i], kept);
    }
    visitNetwork(w.in("Network"), Network);
    visitKeyWord(w.in("KeyWord"), *this);

    auto search = w.in("Search");
    for (int n = 0; n < SavedSearchHistory; ++n)
        search(numbered("%02d", n), n < SearchHistory.size() ? SearchHistory[n] : QString());
    return kept;
}

QStringList AppSettings::BuildPcFileFilter() const {
    QStringList filters;
    for (int i = 0; i < FilterKinds; ++i) {
        if (Title[i].isEmpty())
            continue;
        QStringList patterns = Kind[i].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            // "*.*" has always meant every file; as a Qt filter it would want a dot in the name
            // and hide README or Makefile.
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        filters.append(QStringLiteral("%1 (%2)").arg(Title[i], patterns.join(u' ')));
    }
    return filters;
}

int AppSettings::fontPointsOf(const QString& fontSize) {
    return IniFile::parseLeadingInt(toCp932(fontSize));
}

int AppSettings::defaultProfileIndex() const {
    return DefaultNo >= 0 && DefaultNo < ProfileCount ? DefaultNo : 0;
}

QString settingsFilePath(const QString& directory) {
    return QDir(directory).filePath(QStringLiteral("Vantorpad.ini"));
}

SettingsTextFault settingsTextFault(const QString& text) {
    EncodeResult bytes = LosslessCodec::cp932().encode(text);
    if (!bytes.ok() || !IniFile::canHold(bytes.bytes))
        return SettingsTextFault::Unstorable;
    return bytes.bytes.size() > IniFile::MaxValueBytes ? SettingsTextFault::TooLong
                                                       : SettingsTextFault::None;
}

bool writeSettingsText(IniFile& ini, QByteArrayView section, QByteArrayView key,
                       const QString& text) {
    EncodeResult bytes = LosslessCodec::cp932().encode(text);
    return bytes.ok() &&
           ini.writeString(section, key, IniFile::cutAtCharBoundary(bytes.bytes)).ok();
}

bool LoadSettings(AppSettings& settings, const QString& directory) {
    IniFile ini(settingsFilePath(directory));
    const bool readable = ini.load().ok();
    settings.load(ini);
    return readable;
}

bool SaveSettings(const AppSettings& settings, const QString& directory,
                  const std::function<QStringList(IniFile&)>& storeMore) {
    IniFile ini(settingsFilePath(directory));
    if (!ini.load().ok()) {
        // Rewriting an unreadable file would lose every line we do not own.
        std::fprintf(stderr, "Vantorpad.ini: cannot read %s, settings not saved\n",
                     qPrintable(ini.path()));
        return false;
    }
    QStringList kept = settings.store(ini);
    if (storeMore)
        kept += storeMore(ini);
    for (const QString& key : kept)
        std::fprintf(stderr, "Vantorpad.ini: %s not saved, the file cannot hold its value\n",
                     qPrintable(key));
    if (const Result<> saved = ini.save(); !saved.ok()) {
        std::fprintf(stderr, "Vantorpad.ini: cannot save %s: %s\n", qPrintable(ini.path()),
                     qPrintable(saved.message()));
        return false;
    }
    return kept.isEmpty();
}
