// CTextWidth: the width of text as the reader's copy limit counts it. A
// full-width character (East Asian Wide or Fullwidth, such as the ideographs,
// kana and full-width punctuation) counts 2, every other character 1; a
// surrogate pair is one character.
#pragma once

#include <QString>
#include <QStringView>

class CTextWidth {
public:
    static int CharWidth(char32_t codePoint);
    static qsizetype Width(QStringView text);
    // The longest start of text whose width is at most limit; it never ends
    // inside a character.
    static QString Cut(QStringView text, qsizetype limit);
};
