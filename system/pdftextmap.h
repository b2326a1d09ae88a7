#pragma once

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QString>

// Qt's PDF output tells a reader which character each glyph stands for by the first character
// (lowest code) the font draws with that glyph. The CJK faces draw a radical and its ideograph
// with one glyph (⽔ U+2F54 and 水 U+6C34, ⻚ U+2EDA and 页 U+9875), and the dashes ‒ U+2012 and
// – U+2013 with another, so a PDF written with them reads, searches and copies as radicals and
// figure dashes. This gives the characters back.
//
// `text` is everything the PDF shows and `fonts` the faces it was drawn in: a code that one of
// the faces draws with the glyph of a higher character of `text` becomes that character, unless
// `text` holds the code itself. Each code in the PDF's
// ToUnicode maps is rewritten in place, so no offset in the file moves; a code inside a range
// of consecutive codes stays as it is.
QByteArray withIdeographsRestored(const QByteArray& pdf, const QString& text,
                                  const QList<QFont>& fonts);
