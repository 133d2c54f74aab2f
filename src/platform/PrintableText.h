#pragma once
// Messages carry names read from files (archive entries, header bytes). Before a front end
// shows one, every byte that could act on a terminal instead of being shown (control
// bytes such as ESC and BEL, DEL, the C1 controls, bytes that are not UTF-8) is written as
// \xNN; readable text, UTF-8 included, and line feeds and tabs stay as they are. Core
// messages stay unescaped.
#include <string>
#include <string_view>

namespace tessary {

std::string PrintableText(std::string_view text);

}  // namespace tessary
