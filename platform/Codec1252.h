#pragma once
// Conversion between the program's inner text (UTF-8) and the single-byte
// code page 1252 that every stored file and every web page uses.
//
// All 256 bytes of code page 1252 convert to UTF-8 and back unchanged: the
// five bytes that the code page leaves undefined map to the C1 control code
// points U+0081, U+008D, U+008F, U+0090 and U+009D.

#include <string>
#include <string_view>

namespace tellurio {

// Code page 1252 bytes to UTF-8.  Never fails.
std::string Utf8FromCp1252(std::string_view bytes);

// UTF-8 to code page 1252.  A character that the code page cannot hold, and
// every byte of an invalid UTF-8 sequence, becomes "?"; *exact (when given) is
// set to false in that case and to true otherwise.
std::string Cp1252FromUtf8(std::string_view utf8, bool* exact = nullptr);

// Appends the UTF-8 form of one code page 1252 byte.
void AppendUtf8OfCp1252(std::string& out, unsigned char byte);

// True when every byte is below 0x80 (the text is the same in both encodings).
bool IsAscii(std::string_view text);

// True when the bytes are well-formed UTF-8 (no stray continuation bytes, no
// overlong forms, no surrogates, nothing beyond U+10FFFF).  A file name
// that is not (one written by another system in its own code page) cannot
// pass through the window's texts unchanged.
bool IsValidUtf8(std::string_view text);

// Number of characters (not bytes) of a UTF-8 text; an invalid byte counts as one.
size_t Utf8Length(std::string_view utf8);

// The first n characters of a UTF-8 text (the whole text when it is shorter).
std::string Utf8Left(std::string_view utf8, size_t n);

}  // namespace tellurio
