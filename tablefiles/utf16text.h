#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 in, UTF-16 out, for the workbook formats that count and store UTF-16 code units.
// A byte that does not start a well-formed UTF-8 sequence (overlong forms, surrogates and
// values past U+10FFFF included) stands for one U+FFFD.
namespace tablefiles {

std::u16string utf16FromUtf8(std::string_view text);

// The number of UTF-16 code units of utf16FromUtf8(text), without building it.
std::size_t utf16Length(std::string_view text);

// text unchanged when it is well-formed UTF-8; otherwise with U+FFFD for each bad byte.
std::string wellFormedUtf8(std::string_view text);

}  // namespace tablefiles
