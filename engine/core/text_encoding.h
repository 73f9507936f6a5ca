// Byte-level text helpers shared by the engine's text handling.  The program
// hands us 8-bit ANSI (Windows-1252); inside the engine everything is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace engine {

// Windows-1252 to UTF-8.  The five unassigned bytes become spaces.
std::string ansiToUtf8(std::string_view ansi);

bool isValidUtf8(std::string_view text);

// Control characters other than tab and line breaks become spaces, so a
// synthesiser never sees bytes it might take as an escape of its own.
void blankControlCharacters(std::string &text);

// Lower-cases ASCII and the Latin-1 letters of UTF-8 text.  The result has the
// same length as the input, byte for byte, so offsets carry over.
std::string foldCase(std::string_view utf8);

// Letters, digits and every byte of a multi-byte UTF-8 character.
inline bool isWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}

inline bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view text);

// For a synthesiser that reads ASCII only: accented Latin-1 letters lose their
// accents (ß becomes ss), and every other non-ASCII character becomes a space.
std::string foldToAscii(std::string_view utf8);

} // namespace engine
