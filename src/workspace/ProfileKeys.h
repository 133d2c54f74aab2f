#pragma once
// The names under which the program keeps its settings, and the other programs' keys it
// reads.
namespace tessary::profile {

// The application profile.
inline constexpr const char* kSettings = "Settings";
inline constexpr const char* kWorkingFolder = "WorkingFolder";
inline constexpr const char* kShowExploded = "ShowExploded";
inline constexpr const char* kMaxPreview = "MaxPreview";
inline constexpr const char* kRecentFiles = "RecentFiles";
inline constexpr const char* kPaths = "Paths";
inline constexpr const char* kWinRar = "WinRAR";
inline constexpr const char* kCod = "CoD";
inline constexpr const char* kCodUo = "CoDUO";
inline constexpr const char* kCod2 = "CoD2";
inline constexpr const char* kCod4 = "CoD4";

// Other programs' keys.
inline constexpr const char* kConverterKey = "Software\\Ravenmoor\\Pelvane\\Settings";  // current user
inline constexpr const char* kWinRarKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WinRAR.exe";  // local machine
inline constexpr const char* kCod2Key = "SOFTWARE\\Activision\\Call of Duty 2";  // local machine
inline constexpr const char* kCod4Key = "SOFTWARE\\Activision\\Call of Duty 4";  // local machine
inline constexpr const char* kNotepadKey = "Software\\Microsoft\\Notepad";        // current user
inline constexpr const char* kInstallPath = "InstallPath";

}  // namespace tessary::profile
