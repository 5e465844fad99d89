#pragma once
// Text in the receiver's single-byte code page, Windows-1252: the code page of the
// Windows machines the receiver's owners used. Converted with the C library's iconv.

#include <string>
#include <string_view>

namespace dz {

// UTF-8 to Windows-1252. A character the code page cannot hold becomes '?',
// as Windows' own conversion does; so does a byte that is not valid UTF-8.
std::string toAnsi(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls U+0081 ... U+009D, as
// on Windows, and toAnsi takes them back: every byte survives the round trip.
std::string fromAnsi(std::string_view ansi);

}  // namespace dz
