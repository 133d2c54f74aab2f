#pragma once
// Names are bytes, as the file system and the games' files hold them. On screen a name
// reads as UTF-8, which is how this system spells its file names; a byte that is not part
// of a valid UTF-8 sequence shows as the Windows-1252 character of that byte (the code
// page of the platform the games come from), so that an older name stays readable.
#include <QString>
#include <string_view>

namespace tessary::ui {

QString DisplayName(std::string_view bytes);

}  // namespace tessary::ui
