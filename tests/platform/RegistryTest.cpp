// Other programs' keys in registry.ini: a key that cannot be opened against a missing
// value, writing only into existing keys, and the application profile in an INI file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "platform/IniRegistry.h"
#include "platform/QtSettingsStore.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::RecordingNotifier;

struct RegistryTest : ::testing::Test {
  test::TempWorkdir temp;
  fs::path file = temp.Path() / "registry.ini";
  IniRegistry registry{file};
  void Write(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
  std::string Text() {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(RegistryTest, MissingKeyShowsErrorMissingValueReadsEmpty) {
  Write("; keys of other programs\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Activision\\Call of Duty 2]\r\n"
        "InstallPath = \"C:\\Games\\CoD2\\\" \r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WinRAR.exe]\n"
        "@=/opt/winrar/WinRAR.exe\n"
        "Path=/opt/winrar\n");
  RecordingNotifier notifier;
  std::string out = "unchanged";

  // No such key (also not under another root): false, the "Error" box, out unchanged.
  EXPECT_FALSE(ReadRegistryString(registry, RegistryRoot::LocalMachine, "SOFTWARE\\Activision\\Call of Duty 4",
                                  "InstallPath", out));
  EXPECT_FALSE(ReadRegistryString(registry, RegistryRoot::CurrentUser, "SOFTWARE\\Activision\\Call of Duty 2",
                                  "InstallPath", out));
  EXPECT_EQ(out, "unchanged");
  ASSERT_EQ(notifier.captions, (std::vector<std::string>{"Error", "Error"}));
  EXPECT_FALSE(notifier.messages[0].empty());

  // Key there, value missing: true, empty, nothing shown.
  EXPECT_TRUE(ReadRegistryString(registry, RegistryRoot::LocalMachine, "SOFTWARE\\Activision\\Call of Duty 2",
                                 "Version", out));
  EXPECT_EQ(out, "");
  // Letter case of keys and value names does not matter; quotes and blanks go.
  EXPECT_TRUE(ReadRegistryString(registry, RegistryRoot::LocalMachine, "software\\ACTIVISION\\call of duty 2",
                                 "installpath", out));
  EXPECT_EQ(out, "C:\\Games\\CoD2\\");
  // The default value, null name, is "@".
  EXPECT_TRUE(ReadRegistryString(registry, RegistryRoot::LocalMachine,
                                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WinRAR.exe", nullptr, out));
  EXPECT_EQ(out, "/opt/winrar/WinRAR.exe");
  // A key above an existing one exists too.
  EXPECT_TRUE(ReadRegistryString(registry, RegistryRoot::LocalMachine, "SOFTWARE\\Activision", "x", out));
  EXPECT_EQ(notifier.messages.size(), 2u);
}

TEST_F(RegistryTest, NoFileMeansNoKeyAndLongValuesReadEmpty) {
  RecordingNotifier notifier;
  std::string out = "kept";
  EXPECT_FALSE(ReadRegistryString(registry, RegistryRoot::CurrentUser, "Software\\X", "v", out));
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(notifier.captions, std::vector<std::string>{"Error"});

  Write("[HKEY_CURRENT_USER\\Software\\X]\nfits=" + std::string(259, 'a') + "\nlong=" + std::string(260, 'b') + "\n");
  EXPECT_TRUE(ReadRegistryString(registry, RegistryRoot::CurrentUser, "Software\\X", "fits", out));
  EXPECT_EQ(out.size(), 259u);
  EXPECT_TRUE(ReadRegistryString(registry, RegistryRoot::CurrentUser, "Software\\X", "long", out));
  EXPECT_EQ(out, "");
}

TEST_F(RegistryTest, WritesOnlyIntoExistingKeysKeepingTheRest) {
  Write("# mine\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Notepad]\nlfFaceName=Arial\niPointSize=100\n\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\na=1\n");
  EXPECT_TRUE(WriteRegistryString(registry, RegistryRoot::CurrentUser, "Software\\Microsoft\\Notepad",
                                  "lfFaceName", "Courier New"));
  EXPECT_TRUE(WriteRegistryString(registry, RegistryRoot::CurrentUser, "Software\\Microsoft\\Notepad",
                                  "fWrap", "1"));
  EXPECT_FALSE(WriteRegistryString(registry, RegistryRoot::CurrentUser, "Software\\Absent", "a", "b"));
  EXPECT_EQ(Text(), "# mine\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Notepad]\nlfFaceName=Courier New\n"
                    "iPointSize=100\nfWrap=1\n\n[HKEY_CURRENT_USER\\Software\\Other]\na=1\n");

  // What an installer does, and undoing it.
  EXPECT_TRUE(registry.CreateAndWrite(RegistryRoot::CurrentUser, "Software\\Ravenmoor\\Pelvane\\Settings",
                                      "InstallPath", "/opt/pelvane"));
  RecordingNotifier notifier;
  std::string out;
  EXPECT_TRUE(ReadRegistryString(registry, RegistryRoot::CurrentUser, "Software\\Ravenmoor\\Pelvane\\Settings",
                                 "InstallPath", out));
  EXPECT_EQ(out, "/opt/pelvane");
  EXPECT_TRUE(registry.DeleteKey(RegistryRoot::CurrentUser, "Software\\Ravenmoor\\Pelvane\\Settings"));
  EXPECT_FALSE(ReadRegistryString(registry, RegistryRoot::CurrentUser, "Software\\Ravenmoor\\Pelvane\\Settings",
                                  "InstallPath", out));
  EXPECT_TRUE(ReadRegistryString(registry, RegistryRoot::CurrentUser, "Software\\Other", "a", out));
  EXPECT_EQ(out, "1");
}

TEST(QtSettingsStoreTest, ValuesSurviveInTheFileWithDefaultsForMissingOnes) {
  test::TempWorkdir temp;
  fs::path ini = temp.Path() / "profile.conf";
  {
    QtSettingsStore store(ini);
    EXPECT_EQ(store.GetProfileString("Settings", "WorkingFolder", "none"), "none");
    EXPECT_EQ(store.GetProfileInt("Settings", "ShowExploded", 7), 7);
    EXPECT_TRUE(store.WriteProfileString("Settings", "WorkingFolder", "C:\\Work\\ünï"));
    EXPECT_TRUE(store.WriteProfileInt("Settings", "ShowExploded", 1));
    EXPECT_TRUE(store.WriteProfileString("RecentFiles", "0", ""));
  }
  QtSettingsStore again(ini);
  EXPECT_EQ(again.GetProfileString("Settings", "WorkingFolder"), "C:\\Work\\ünï");
  EXPECT_EQ(again.GetProfileInt("Settings", "ShowExploded", 0), 1);
  EXPECT_EQ(again.GetProfileString("RecentFiles", "0", "default"), "");  // stored empty, not missing
  EXPECT_EQ(again.GetProfileInt("Settings", "WorkingFolder", 5), 5);     // not a number
}

}  // namespace
}  // namespace tessary
