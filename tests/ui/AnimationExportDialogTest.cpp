// Export .glTF with animations from a surface item's menu: the dialog's rows (most matched
// bones first), the export of the chosen animations, and the boxes when there is nothing
// to choose from.

// Before any Qt header: the writers name variables "slots", which Qt defines as a keyword.
#include "fixtures/StructuralWriter.h"
#include "fixtures/XAnimWriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>

#include "Fixtures.h"
#include "export/GltfWriter.h"
#include "ui/AnimationExportDlg.h"
#include "ui/ContextMenus.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"

namespace tessary::ui::test {
namespace {

namespace st = tessary::test::structural;
namespace xa = tessary::test::xanim;

xa::Anim Moving(std::vector<std::string> names) {
  xa::Anim a{.frames = 2};
  for (std::string& name : names)
    a.bones.push_back({std::move(name), false, false, {{0, 0, 0, 0}, {1, 0, 0, 8000}}, {}});
  return a;
}

class AnimationExportTest : public FormTest {
 protected:
  // "arms": tag_origin, J_Arm, j_hand, tag_weapon; one surface on J_Arm.
  CTessaryView& LoadArms() {
    for (const auto& [path, bytes] : st::ArmsModel()) wd_.Write(path, bytes);
    StoreWorkingFolder();
    CTessaryView& view = Start();
    view.ModelList().setCurrentRow(0);
    view.Tree().setCurrentItem(SurfaceRow(view));
    return view;
  }
  static QTreeWidgetItem* SurfaceRow(CTessaryView& view) { return view.Tree().topLevelItem(0)->child(0)->child(0); }

  // Runs the command; `answer` acts on the dialog once it is up (none: no dialog expected).
  static int RunExport(CTessaryView& view, const std::function<void(CAnimationExportDlg&)>& answer) {
    return AnswerModal<CAnimationExportDlg>([&] { RunContextCommand(view, kCmdExportGltfAnimated); }, answer);
  }
};

TEST_F(AnimationExportTest, DialogListsBestMatchesFirstAndExportsTheChosenOnes) {
  wd_.Write("xanim/one_bone", xa::Write(Moving({"j_arm", "j_gun"})));
  wd_.Write("xanim/three_bones", xa::Write(Moving({"J_HAND", "j_arm", "tag_weapon", "j_bolt"})));
  wd_.Write("xanim/two_bones", xa::Write(Moving({"j_hand", "j_arm"})));
  wd_.Write("xanim/legs", xa::Write(Moving({"j_knee_le"})));
  CTessaryView& view = LoadArms();

  std::vector<std::string> rows;
  std::vector<bool> okEnabled;  // at first (the best one chosen), then with nothing chosen
  bool rootMotion = false;
  const int shown = RunExport(view, [&](CAnimationExportDlg& dlg) {
    for (int i = 0; i < dlg.List().count(); ++i) rows.push_back(dlg.List().item(i)->text().toStdString());
    QPushButton* ok = dlg.Buttons().button(QDialogButtonBox::Ok);
    okEnabled.push_back(ok->isEnabled());
    rootMotion = dlg.RootMotionBox().isChecked();
    dlg.List().clearSelection();
    okEnabled.push_back(ok->isEnabled());
    dlg.List().item(0)->setSelected(true);
    dlg.List().item(2)->setSelected(true);
    ok->click();
  });
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(rows, (std::vector<std::string>{"three_bones  (3 of 4 bones)", "two_bones  (2 of 2 bones)",
                                            "one_bone  (1 of 2 bones)"}));
  EXPECT_EQ(okEnabled, (std::vector<bool>{true, false}));
  EXPECT_TRUE(rootMotion);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(dialogs_.beeps, std::vector<BeepKind>{BeepKind::Type1});
  EXPECT_EQ(view.RecentBox().findText("arms"), 1);

  tinygltf::Model doc;
  std::string error, warn;
  ASSERT_TRUE(tinygltf::TinyGLTF().LoadBinaryFromFile(&doc, &error, &warn, (wd_.Path() / "obj/arms0.glb").string()))
      << error;
  ASSERT_EQ(doc.animations.size(), 2u);
  EXPECT_EQ(doc.animations[0].name + " " + doc.animations[1].name, "three_bones one_bone");
}

TEST_F(AnimationExportTest, NothingToChooseWritesNothing) {
  CTessaryView& view = LoadArms();
  // No xanim folder, then one whose files move none of the model's bones (or are no animations).
  EXPECT_EQ(RunExport(view, nullptr), 0);
  wd_.Write("xanim/legs", xa::Write(Moving({"j_knee_le"})));
  wd_.Write("xanim/notes.txt", {'j', '_', 'a', 'r', 'm'});
  EXPECT_EQ(RunExport(view, nullptr), 0);
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_NE(dialogs_.messages[0].find("There is no xanim folder in " + wd_.Str()), std::string::npos);
  EXPECT_EQ(dialogs_.messages[1], "No animation file in " + (wd_.Path() / "xanim").string() + " moves a bone of arms.");
  EXPECT_TRUE(dialogs_.beeps.empty());
  EXPECT_FALSE(wd_.Exists("obj/arms0.glb"));
}

}  // namespace
}  // namespace tessary::ui::test
