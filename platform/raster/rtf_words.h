// The characters RTF writes as control words, shared by the reader and the writer of the text
// panel's files. A character with two words is written with the first.
#pragma once

#include <utility>

namespace platform::rtf {

inline constexpr std::pair<const char*, char16_t> SpecialCharacters[] = {
    {"tab", u'\t'},        {"cell", u'\t'},    {"line", 0x2028},    {"emdash", 0x2014},
    {"endash", 0x2013},    {"lquote", 0x2018}, {"rquote", 0x2019},  {"ldblquote", 0x201C},
    {"rdblquote", 0x201D}, {"bullet", 0x2022}, {"emspace", 0x2003}, {"enspace", 0x2002},
    {"qmspace", 0x2005},   {"zwj", 0x200D},    {"zwnj", 0x200C},    {"zwbo", 0x200B},
    {"ltrmark", 0x200E},   {"rtlmark", 0x200F}};

} // namespace platform::rtf
