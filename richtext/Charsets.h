// Windows font charsets and the code pages their text is written in: an RTF
// font's \fcharset and a metafile font's charset name the same thing, and
// both the RTF reader and the metafile player decode text through this one
// table, so a document and the formula pictures inside it read the same
// bytes as the same letters.
#pragma once

#include <QByteArray>
#include <QString>

namespace Charsets {

// The pseudo code page of symbol fonts, whose bytes are the font's own codes.
inline constexpr int SymbolCodePage = 42;

// The Windows code page of a font charset: 204 Cyrillic is 1251, 0 ANSI is
// 1252, 2 Symbol is SymbolCodePage... 0 for the default charset (1) and for
// charsets not known here: the caller's default code page applies.
int codePage(int charset);

// True for the code pages whose characters take one or two bytes.
bool isMultiByte(int codePage);

// Decodes text in a Windows code page (a charset's, or one an RTF document
// names with \ansicpg or \cpg). A code page not known here reads as 1252.
QString decode(int codePage, const QByteArray &bytes);

} // namespace Charsets
