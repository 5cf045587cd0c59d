#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// The languages the editor colours, each with one of Scintilla's own lexers.
enum class SyntaxLanguage {
    None, // plain text
    Html, // with embedded JavaScript, CSS and PHP
    Php,
    Css,
    JavaScript,
    Json,
    Xml,
    Sql,
    Shell,
    Python,
    Perl,
    Ruby,
    Properties, // INI, conf, properties
    Makefile,
    Markdown,
    Diff,
    Cpp,
    Java,
};

// Every language in the order the "言語" menu lists them, "なし" first.
QList<SyntaxLanguage> syntaxLanguages();
// The name the menu shows.
QString syntaxLanguageName(SyntaxLanguage language);

// The language of a file: from its extension, or, without a known one, from its first line
// ("#!" with the interpreter, "<?php", "<?xml", "<!DOCTYPE html").
SyntaxLanguage syntaxLanguageFor(const QString& fileName, QByteArrayView firstLine);
