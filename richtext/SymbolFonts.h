// Fonts whose byte codes are not the letters of a code page: Symbol and
// the equation editors' copies of it ("MT Symbol", "Euclid Symbol"), MT
// Extra, which equation editors use beside Symbol for the signs Symbol lacks
// (ellipses, the vector arrow, hbar, script l, minus-plus...), and
// Wingdings. Documents and metafiles written in them hold the font's own
// codes; these turn them into the Unicode characters they show.
#pragma once

#include <QString>

namespace SymbolFonts {

enum class Kind : quint8 { None, Symbol, MtExtra, Wingdings };

// The kind of a font by its face name, in any letter case; None for a font
// of ordinary letters or a symbol font not known here.
Kind kindOf(QStringView face);

// The character a byte shows in a font of this kind; 0 when there is none
// (a code the font leaves empty, a piece of a stretched bracket, or a kind
// of None).
char16_t toUnicode(Kind kind, uchar byte);

} // namespace SymbolFonts
