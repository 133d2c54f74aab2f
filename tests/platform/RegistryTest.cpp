// Other programs' keys in registry.ini: a key that cannot be opened against a missing
// value, and writing only into existing keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "platform/IniRegistry.h"
#include "platform/TestFiles.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine, kUser = RegistryRoot::CurrentUser;

struct RegistryTest : ::testing::Test {
  test::TempWorkdir temp;
  fs::path file = temp.Path() / "registry.ini";
  IniRegistry registry{file};
  test::RecordingNotifier notifier;
  std::string out = "unchanged";
  void Write(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
  bool Read(RegistryRoot root, const std::string& key, const char* value) {
    return ReadRegistryString(registry, root, key, value, out, notifier);
  }
};

TEST_F(RegistryTest, MissingKeyShowsErrorMissingValueReadsEmpty) {
  Write("; keys of other programs\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Activision\\Call of Duty 2]\r\n"
        "InstallPath = \"C:\\Games\\CoD2\\\" \r\n"
        "fits=" + std::string(259, 'a') + "\r\nlong=" + std::string(260, 'b') + "\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WinRAR.exe]\n"
        "@=/opt/winrar/WinRAR.exe\n");
  // No key (also not under another root): `out` unchanged and no box, as other programs'
  // keys are normally absent. A key: the value, empty when missing or beyond the buffer.
  const std::string cod2 = "SOFTWARE\\Activision\\Call of Duty 2";
  auto value = [&](const std::string& key, const char* name, RegistryRoot root = kMachine) {
    out = "unchanged";
    return Read(root, key, name) ? out : "(no key) " + out;
  };
  EXPECT_EQ(value("SOFTWARE\\Activision\\Call of Duty 4", "InstallPath"), "(no key) unchanged");
  EXPECT_EQ(value(cod2, "InstallPath", kUser), "(no key) unchanged");
  EXPECT_EQ(value(cod2, "Version"), "");
  EXPECT_EQ(value("software\\ACTIVISION\\call of duty 2", "installpath"), "C:\\Games\\CoD2\\");
  EXPECT_EQ(value(cod2, "fits"), std::string(259, 'a'));
  EXPECT_EQ(value(cod2, "long"), "");
  EXPECT_EQ(value("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WinRAR.exe", nullptr),  // "@"
            "/opt/winrar/WinRAR.exe");
  EXPECT_EQ(value("SOFTWARE\\Activision", "x"), "");  // a key above an existing one exists too
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(RegistryTest, OnlyAStoreThatCannotBeReadShowsTheErrorBox) {
  EXPECT_FALSE(Read(kMachine, "SOFTWARE\\Activision\\Call of Duty 4", "InstallPath"));  // no file at all
  EXPECT_TRUE(notifier.messages.empty());
  fs::create_directory(file);
  EXPECT_FALSE(Read(kMachine, "SOFTWARE\\Activision\\Call of Duty 4", "InstallPath"));
  EXPECT_EQ(std::pair(notifier.captions, out), std::pair(std::vector<std::string>{"Error"}, std::string("unchanged")));
}

TEST_F(RegistryTest, WritesOnlyIntoExistingKeysKeepingTheRest) {
  Write("# mine\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Notepad]\nlfFaceName=Arial\niPointSize=100\n\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\na=1\n");
  const std::string notepad = "Software\\Microsoft\\Notepad";
  EXPECT_TRUE(WriteRegistryString(registry, kUser, notepad, "lfFaceName", "Courier New"));
  EXPECT_TRUE(WriteRegistryString(registry, kUser, notepad, "fWrap", "1"));
  EXPECT_FALSE(WriteRegistryString(registry, kUser, "Software\\Absent", "a", "b"));
  EXPECT_EQ(test::Text(file), "# mine\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Notepad]\nlfFaceName=Courier New\n"
                    "iPointSize=100\nfWrap=1\n\n[HKEY_CURRENT_USER\\Software\\Other]\na=1\n");
}

}  // namespace
}  // namespace tessary
