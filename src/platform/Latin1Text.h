#pragma once
// Names read from the games' files are bytes in no stated encoding. Where a format needs
// UTF-8 (JSON, glTF), each byte becomes the character of the same value (Latin-1), so the
// text is valid whatever the name holds and nothing of it is lost.
#include <string>
#include <string_view>

namespace tessary {

std::string Latin1ToUtf8(std::string_view bytes);

}  // namespace tessary
