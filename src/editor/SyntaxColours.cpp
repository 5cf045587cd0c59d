#include "editor/SyntaxColours.h"

#include <Qsci/qscilexerbash.h>
#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerdiff.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerjson.h>
#include <Qsci/qscilexermakefile.h>
#include <Qsci/qscilexermarkdown.h>
#include <Qsci/qscilexerperl.h>
#include <Qsci/qscilexerproperties.h>
#include <Qsci/qscilexerpython.h>
#include <Qsci/qscilexerruby.h>
#include <Qsci/qscilexersql.h>
#include <Qsci/qscilexerxml.h>

namespace {

enum class Role { Plain, Comment, Keyword, String, Number, Tag, Attribute, Preprocessor, Error };

// What a style shows, from the name the lexer gives it.
Role roleOf(const QString& description) {
    const QString d = description.toLower();
    const auto has = [&d](const char* word) { return d.contains(QLatin1String(word)); };
    if (has("comment"))
        return Role::Comment;
    if (has("error") || has("bad ") || has("unclosed") || has("deleted"))
        return Role::Error;
    if (has("string") || has("character") || has("regex") || has("quote") || has("here document") ||
        has("added") || has("value"))
        return Role::String;
    if (has("number"))
        return Role::Number;
    if (has("preprocessor") || has("directive") || has("section") || has("header") ||
        has("position") || has("php ") || has("cdata") || has("target"))
        return Role::Preprocessor;
    if (has("attribute") || has("variable") || has("property") || has("key") || has("parameter"))
        return Role::Attribute;
    if (has("tag") || has("element"))
        return Role::Tag;
    if (has("keyword") || has("word") || has("operator") || has("command") || has("selector") ||
        has("function") || has("class") || has("instruction"))
        return Role::Keyword;
    return Role::Plain;
}

// Hues in HSV: the same hue on either paper, darker on light paper, lighter on dark.
QColor colourOf(Role role, bool darkPaper, const QColor& ink) {
    struct Hue {
        int hue, saturation;
    };
    Hue h;
    switch (role) {
    case Role::Comment:
        h = {120, 160};
        break;
    case Role::Keyword:
        h = {220, 200};
        break;
    case Role::String:
        h = {15, 200};
        break;
    case Role::Number:
        h = {290, 160};
        break;
    case Role::Tag:
        h = {200, 220};
        break;
    case Role::Attribute:
        h = {30, 220};
        break;
    case Role::Preprocessor:
        h = {330, 170};
        break;
    case Role::Error:
        h = {0, 255};
        break;
    default:
        return ink;
    }
    return QColor::fromHsv(h.hue, darkPaper ? h.saturation * 2 / 3 : h.saturation,
                           darkPaper ? 235 : 150);
}

} // namespace

QsciLexer* createLexer(SyntaxLanguage language, QObject* parent) {
    switch (language) {
    case SyntaxLanguage::Html:
    case SyntaxLanguage::Php:
        return new QsciLexerHTML(parent);
    case SyntaxLanguage::Css:
        return new QsciLexerCSS(parent);
    case SyntaxLanguage::JavaScript:
        return new QsciLexerJavaScript(parent);
    case SyntaxLanguage::Json:
        return new QsciLexerJSON(parent);
    case SyntaxLanguage::Xml:
        return new QsciLexerXML(parent);
    case SyntaxLanguage::Sql:
        return new QsciLexerSQL(parent);
    case SyntaxLanguage::Shell:
        return new QsciLexerBash(parent);
    case SyntaxLanguage::Python:
        return new QsciLexerPython(parent);
    case SyntaxLanguage::Perl:
        return new QsciLexerPerl(parent);
    case SyntaxLanguage::Ruby:
        return new QsciLexerRuby(parent);
    case SyntaxLanguage::Properties:
        return new QsciLexerProperties(parent);
    case SyntaxLanguage::Makefile:
        return new QsciLexerMakefile(parent);
    case SyntaxLanguage::Markdown:
        return new QsciLexerMarkdown(parent);
    case SyntaxLanguage::Diff:
        return new QsciLexerDiff(parent);
    case SyntaxLanguage::Cpp:
        return new QsciLexerCPP(parent);
    case SyntaxLanguage::Java:
        return new QsciLexerJava(parent);
    case SyntaxLanguage::None:
        break;
    }
    return nullptr;
}

void paintLexer(QsciLexer& lexer, const QFont& font, const QColor& paper, const QColor& ink) {
    const bool darkPaper = paper.lightness() < 128;
    lexer.setDefaultFont(font);
    lexer.setDefaultPaper(paper);
    lexer.setDefaultColor(ink);
    lexer.setFont(font);
    lexer.setPaper(paper);
    for (int style = 0; style < 128; ++style) {
        const QString description = lexer.description(style);
        if (description.isEmpty())
            continue;
        lexer.setColor(colourOf(roleOf(description), darkPaper, ink), style);
        lexer.setPaper(paper, style);
        lexer.setFont(font, style);
    }
}
