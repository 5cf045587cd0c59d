#include "editor/SyntaxLanguage.h"

#include <QFileInfo>

#include <utility>

namespace {

struct Entry {
    SyntaxLanguage language;
    const char* name;
    const char* extensions; // space-separated, lower case
};

const Entry Languages[] = {
    {SyntaxLanguage::None, "なし", ""},
    {SyntaxLanguage::Html, "HTML", "html htm shtml xhtml tpl"},
    {SyntaxLanguage::Php, "PHP", "php php3 php4 php5 phtml inc"},
    {SyntaxLanguage::Css, "CSS", "css"},
    {SyntaxLanguage::JavaScript, "JavaScript", "js mjs cjs ts"},
    {SyntaxLanguage::Json, "JSON", "json"},
    {SyntaxLanguage::Xml, "XML", "xml xsl xslt svg rss atom"},
    {SyntaxLanguage::Sql, "SQL", "sql"},
    {SyntaxLanguage::Shell, "シェル", "sh bash ksh zsh"},
    {SyntaxLanguage::Python, "Python", "py pyw"},
    {SyntaxLanguage::Perl, "Perl", "pl pm cgi"},
    {SyntaxLanguage::Ruby, "Ruby", "rb"},
    {SyntaxLanguage::Properties, "INI / conf", "ini conf cfg properties htaccess"},
    {SyntaxLanguage::Makefile, "Makefile", "mk mak"},
    {SyntaxLanguage::Markdown, "Markdown", "md markdown"},
    {SyntaxLanguage::Diff, "diff / patch", "diff patch"},
    {SyntaxLanguage::Cpp, "C / C++", "c h cpp cc cxx hpp hh hxx"},
    {SyntaxLanguage::Java, "Java", "java"},
};

const Entry& entryOf(SyntaxLanguage language) {
    for (const Entry& e : Languages)
        if (e.language == language)
            return e;
    return Languages[0];
}

SyntaxLanguage byFirstLine(QByteArrayView line) {
    const QByteArray first = line.trimmed().toByteArray().toLower();
    if (first.startsWith("<?php"))
        return SyntaxLanguage::Php;
    if (first.startsWith("<?xml"))
        return SyntaxLanguage::Xml;
    if (first.startsWith("<!doctype html") || first.startsWith("<html"))
        return SyntaxLanguage::Html;
    if (!first.startsWith("#!"))
        return SyntaxLanguage::None;
    const std::pair<const char*, SyntaxLanguage> interpreters[] = {
        {"python", SyntaxLanguage::Python},   {"perl", SyntaxLanguage::Perl},
        {"ruby", SyntaxLanguage::Ruby},       {"php", SyntaxLanguage::Php},
        {"node", SyntaxLanguage::JavaScript}, {"sh", SyntaxLanguage::Shell},
    };
    for (const auto& [word, language] : interpreters)
        if (first.contains(word))
            return language;
    return SyntaxLanguage::None;
}

} // namespace

QList<SyntaxLanguage> syntaxLanguages() {
    QList<SyntaxLanguage> all;
    for (const Entry& e : Languages)
        all.append(e.language);
    return all;
}

QString syntaxLanguageName(SyntaxLanguage language) {
    return QString::fromUtf8(entryOf(language).name);
}

SyntaxLanguage syntaxLanguageFor(const QString& fileName, QByteArrayView firstLine) {
    const QFileInfo info(fileName);
    const QString base = info.fileName().toLower();
    if (base == QLatin1String("makefile") || base == QLatin1String("gnumakefile"))
        return SyntaxLanguage::Makefile;
    const QString extension = info.suffix().toLower();
    if (!extension.isEmpty())
        for (const Entry& e : Languages)
            if (QString::fromLatin1(e.extensions).split(u' ').contains(extension))
                return e.language;
    return byFirstLine(firstLine);
}
