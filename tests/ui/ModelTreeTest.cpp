// A model loaded into the tree: the buttons and menu entries each kind of row enables, and
// the commands behind them (export, image viewer, tags viewer, export with animations).

// Before any Qt header: the writers name variables "slots", which Qt defines as a keyword.
#include "fixtures/StructuralWriter.h"
#include "fixtures/V25Writer.h"
#include "fixtures/XAnimWriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <filesystem>

#include "Fixtures.h"
#include "export/GltfWriter.h"
#include "ui/AnimationExportDlg.h"
#include "ui/ContextMenus.h"
#include "ui/FormTemplate.h"
#include "ui/ImageViewer.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"
#include "ui/TagsViewer.h"

namespace tessary::ui::test {
namespace {

using Ids = std::vector<int>;

class TreeTest : public FormTest {
 protected:
  // "car": level 0 present with four materials (a .dds image, a present .iwi, a missing
  // .iwi, a missing material file), a destructible level 1 present, level 2 missing.
  CTessaryView& LoadCar() {
    wd_.Write("xmodel/car", v20::Header({{"car_lod0", 1, {"mtl_body", "mtl_glass", "mtl_paint", "mtl_gone"}},
                                         {"car_Destructible_MP_lod1", 1, {"mtl_body"}},
                                         {"car_lod2", 0, {"mtl_body"}}}));
    wd_.Write("xmodelsurfs/car_lod0", v20::Surfaces({v20::Triangle()}));
    wd_.Write("xmodelsurfs/car_Destructible_MP_lod1", v20::Surfaces({v20::Triangle()}));
    wd_.Write("xmodelparts/car_lod0", v20::Parts({{0, {0, 0, 0}, "root"}}));
    for (const char* m : {"body", "glass", "paint"})
      wd_.Write(std::string("materials/mtl_") + m, v20::Material(std::string(m) + "_col"));
    wd_.Write("images/body_col.dds", {1});
    wd_.Write("images/glass_col.iwi", {1});
    StoreWorkingFolder();
    CTessaryView& view = Start();
    frame_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
    view.ModelList().setCurrentRow(0);  // as a click does
    return view;
  }
  static QTreeWidgetItem* Row(CTessaryView& view, const QString& text, int nth = 0) {
    auto rows = view.Tree().findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return nth < rows.size() ? rows[nth] : nullptr;
  }
  static void Select(CTessaryView& view, const QString& text, int nth = 0) {
    view.Tree().setCurrentItem(Row(view, text, nth));
  }
  // A folder in the place of a working-folder file: it can be neither read nor replaced.
  void BlockWithFolder(const std::string& file) {
    std::filesystem::remove(wd_.Path() / file);
    std::filesystem::create_directory(wd_.Path() / file);
  }
  static Ids EnabledButtons(CTessaryView& view) {
    Ids on;
    for (int id : {kIdViewTags, kIdPreviewSurface, kIdExportObj, kIdExportX, kIdConvertToDds,
                   kIdRetrieveFile, kIdShowExploded})
      if (view.Control(id)->isEnabled()) on.push_back(id);
    return on;
  }
  static Ids EnabledEntries(const QMenu& menu) {
    Ids on;
    for (QAction* a : menu.actions())
      if (!a->isSeparator() && a->isEnabled()) on.push_back(a->data().toInt());
    return on;
  }
};

TEST_F(TreeTest, SelectingAModelFillsTheTreeAndTheButtonsFollowTheSelectedRow) {
  CTessaryView& view = LoadCar();
  ModelTreeView& tree = view.Tree();
  EXPECT_EQ(tree.topLevelItem(0)->text(0), "car");
  EXPECT_TRUE(Row(view, "car_lod0")->font(0).bold());
  EXPECT_EQ(Row(view, "car_lod0")->icon(0).cacheKey(), tree.Image(kImagePresent).cacheKey());
  EXPECT_EQ(Row(view, "mtl_gone")->icon(0).cacheKey(), tree.Image(kImageMissing).cacheKey());
  for (QTreeWidgetItemIterator it(&tree); *it; ++it)
    EXPECT_TRUE((*it)->childCount() == 0 || (*it)->isExpanded()) << (*it)->text(0).toStdString();

  struct Case { const char* row; int nth; Ids enabled; };
  const Case cases[] = {
      {"car", 0, {}},
      {"Surfaces", 0, {}},
      {"car_lod0", 0, {kIdPreviewSurface, kIdExportObj}},
      {"car_Destructible_MP_lod1", 0, {kIdPreviewSurface, kIdExportObj, kIdShowExploded}},
      {"mtl_gone", 0, {kIdRetrieveFile}},
      {"glass_col.iwi", 0, {kIdConvertToDds}},
      {"car_lod0", 1, {kIdViewTags}},  // the parts file under "Parts (Tags)"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.row) + " " + std::to_string(c.nth));
    ASSERT_NE(Row(view, c.row, c.nth), nullptr);
    Select(view, c.row, c.nth);
    EXPECT_EQ(EnabledButtons(view), c.enabled);
  }
  // A parts file that is missing can be fetched, not listed.
  std::filesystem::remove(wd_.Path() / "xmodelparts/car_lod0");
  view.ReloadModel();
  Select(view, "car_lod0", 1);
  EXPECT_EQ(EnabledButtons(view), Ids{kIdRetrieveFile});
}

TEST_F(TreeTest, AHeaderThatCannotBeOpenedLeavesNothingOfThePreviousModel) {
  wd_.Write("xmodel/zeta", {20});
  CTessaryView& view = LoadCar();
  Select(view, "car_lod0");
  std::filesystem::remove(wd_.Path() / "xmodel/zeta");  // gone since the list was filled
  view.ModelList().setCurrentRow(1);
  EXPECT_EQ(std::tuple(dialogs_.fileErrors.size(), view.Tree().topLevelItemCount(), view.LoadedTree().Root(), EnabledButtons(view)),
            std::tuple(1u, 0, nullptr, Ids{}));
}

// The header's reasons, one per kind of header: the info command's test.
TEST_F(TreeTest, AHeaderThatHoldsNoModelSaysOnceWhyTheTreeIsEmpty) {
  wd_.Write("xmodel/seven", {7, 0, 0, 0});
  CTessaryView& view = LoadCar();
  view.ModelList().setCurrentRow(view.ModelList().FindPrefix("seven"));
  view.ModelList().setCurrentRow(view.ModelList().FindPrefix("seven"));  // chosen again: nothing new
  EXPECT_EQ(dialogs_.messages, std::vector<std::string>{"The model header " + (wd_.Path() / "xmodel").string() +
                                                        "/seven is of version 7, which is not one of the versions read "
                                                        "here (14, 20, 25)."});
  // The tree stays as it is for such a header: the root and its two empty groups.
  QTreeWidgetItem* root = view.Tree().topLevelItem(0);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(std::tuple(root->text(0).toStdString(), root->childCount(), root->child(0)->childCount(),
                       root->child(1)->childCount(), EnabledButtons(view)),
            std::tuple(std::string("seven"), 2, 0, 0, Ids{}));
}

// The first surface fails: its box, then the one saying the level cannot be loaded, for the
// preview as for the export, and the model is not remembered; a later one: its box, then
// the export's beep.
TEST_F(TreeTest, ASurfaceThatCannotBeDecodedIsToldOnceBeforeTheOutcome) {
  CTessaryView& view = LoadCar();
  Select(view, "car_lod0");
  const std::string unsupported = "VertexData.b1 >= 4\nUnsupported model type.";
  v20::FixtureSurface bad = v20::Triangle(0xFFFF);
  bad.vertices[1].influences.resize(4);
  wd_.Write("xmodelsurfs/car_lod0", v20::Surfaces({bad}));
  view.PreviewSurface();
  qobject_cast<QPushButton*>(view.Control(kIdExportObj))->click();
  const std::string why = "Cannot load the surfaces in " + (wd_.Path() / "xmodelsurfs/car_lod0").string() + ".";
  EXPECT_EQ(dialogs_.messages, (std::vector<std::string>{unsupported, why, unsupported, why}));
  EXPECT_EQ(view.RecentBox().findText("car"), -1);
  dialogs_.messages.clear();
  wd_.Write("xmodelsurfs/car_lod0", v20::Surfaces({v20::Triangle(), bad}));
  qobject_cast<QPushButton*>(view.Control(kIdExportObj))->click();
  EXPECT_EQ(std::tuple(dialogs_.messages, dialogs_.beeps),
            std::tuple(std::vector<std::string>{unsupported}, std::vector<BeepKind>{BeepKind::Type1}));
}

TEST_F(TreeTest, MaterialListsThatCannotBeFoundAreToldWhenTheModelIsReadAsBefore) {
  namespace v25 = tessary::test::v25;
  // No string after the levels looks like a material name.
  wd_.Write("xmodel/tank", v25::Header("", {{"tank_lod0", 0}}, {{"stone"}}));
  wd_.Write("xmodelsurfs/tank_lod0", v25::Surfaces({v25::Triangle()}));
  CTessaryView& view = LoadCar();
  dialogs_.messages.clear();
  view.ModelList().setCurrentRow(view.ModelList().FindPrefix("tank"));
  const std::string failed = "Failed to get the materials";
  EXPECT_EQ(dialogs_.messages, std::vector<std::string>{failed});
  // The export reads the header again: its box, then the export's beep.
  Select(view, "tank_lod0");
  qobject_cast<QPushButton*>(view.Control(kIdExportObj))->click();
  EXPECT_EQ(std::tuple(dialogs_.messages, dialogs_.beeps),
            std::tuple(std::vector<std::string>{failed, failed}, std::vector<BeepKind>{BeepKind::Type1}));
}

TEST_F(TreeTest, ViewTagsShowsTheListingOrSaysWhyThereIsNone) {
  CTessaryView& view = LoadCar();
  Select(view, "car_lod0", 1);
  view.ViewTags();
  ASSERT_NE(view.LastTagsViewer(), nullptr);
  EXPECT_TRUE(view.LastTagsViewer()->toPlainText().contains("root"));
  view.LastTagsViewer()->close();
  BlockWithFolder("obj/car_tags.txt");  // a listing that cannot be written: a box naming it
  view.ViewTags();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_TRUE(dialogs_.messages[0].starts_with("There is no tags listing for car: ") &&
              dialogs_.messages[0].find("car_tags.txt") != std::string::npos) << dialogs_.messages[0];
  QTest::qWait(10);  // the closed viewer is deleted
  EXPECT_EQ(view.LastTagsViewer(), nullptr);
}

TEST_F(TreeTest, ExportWritesTheLevelBeepsAndRemembersTheModelOrSaysWhyNotInOneBox) {
  CTessaryView& view = LoadCar();
  Select(view, "car_lod0");
  auto* exportObj = qobject_cast<QPushButton*>(view.Control(kIdExportObj));
  BlockWithFolder("xmodelsurfs/car_lod0");  // unreadable: a box naming it, no beep, no recent entry
  exportObj->click();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].find((wd_.Path() / "xmodelsurfs/car_lod0").string()), std::string::npos);
  EXPECT_EQ(std::tuple(dialogs_.beeps.size(), view.RecentBox().findText("car"), wd_.Exists("obj/car_lod0.mtl")),
            std::tuple(0u, -1, false));
  std::filesystem::remove(wd_.Path() / "xmodelsurfs/car_lod0");
  wd_.Write("xmodelsurfs/car_lod0", v20::Surfaces({v20::Triangle()}));
  exportObj->click();
  EXPECT_EQ(std::tuple(dialogs_.beeps, dialogs_.messages.size(), view.RecentBox().findText("car"), wd_.Exists("obj/car_lod0.obj")),
            std::tuple(std::vector<BeepKind>{BeepKind::Type1}, 1u, 1, true));
}

TEST_F(TreeTest, TreeMenuGreysEntriesForEachKindOfRow) {
  CTessaryView& view = LoadCar();
  Workspace& ws = view.WorkspaceFields();
  struct Case { const char* row; int nth; bool converter, winrar; Ids enabled; };
  const Case cases[] = {
      {"Surfaces", 0, true, true, {}},
      {"car_lod0", 0, true, true, {kCmdPreviewSurface, kCmdExportGltf, kCmdExportGltfAnimated, kCmdExportXModel, kCmdExportXAnim, kCmdCopyFileName}},
      {"car_lod2", 0, true, true, {kCmdRetrieveFile, kCmdCopyFileName}},  // missing surfaces
      {"car_lod0", 1, true, true, {kCmdCopyFileName}},                    // the parts file
      {"glass_col.iwi", 0, true, true, {kCmdConvertToDds, kCmdViewImageFile, kCmdCopyFileName}},
      {"paint_col.iwi", 0, true, false, {kCmdCopyFileName}},
      {"mtl_gone", 0, false, true, {kCmdRetrieveFile, kCmdCopyFileName}},
      {"body_col.dds", 0, false, true, {kCmdViewImageFile, kCmdCopyFileName}},  // no outside tool needed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << " converter " << c.converter << " winrar " << c.winrar);
    ws.converterFound = c.converter;
    ws.winrarKeyFound = c.winrar;
    QTreeWidgetItem* row = Row(view, c.row, c.nth);
    ASSERT_NE(row, nullptr);
    view.Tree().setCurrentItem(view.Tree().topLevelItem(0));
    std::unique_ptr<QMenu> menu = PrepareTreeMenu(view, view.Tree().viewport()->mapToGlobal(view.Tree().visualItemRect(row).center()));
    ASSERT_NE(menu, nullptr);
    // Eleven entries; the row is selected first, as a click does.
    EXPECT_EQ(std::tuple(menu->actions().size(), EnabledEntries(*menu), view.Tree().currentItem()), std::tuple(11, c.enabled, row));
  }
}

TEST_F(TreeTest, ViewImageFileShowsTheImageWithItsAlphaOverACheckerboard) {
  namespace img = tessary::test::images;
  // DXT3, 4 x 4, white and transparent.
  std::vector<uint8_t> block = img::ExplicitAlphaBlock({});
  for (uint8_t b : img::ColourBlock(0xFFFF, 0xFFFF, {})) block.push_back(b);
  CTessaryView& view = LoadCar();
  wd_.Write("images/body_col.dds", img::Dds(img::FourCc("DXT3"), 4, 4, 1, block));
  Select(view, "body_col.dds");
  RunContextCommand(view, kCmdViewImageFile);
  ImageViewer* viewer = view.LastImageViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->windowTitle(), "body_col.dds");
  viewer->ActualSize();
  for (int i = 0; i < 4; ++i) viewer->ZoomIn();  // 16 times: each texel 16 pixels square
  EXPECT_EQ(viewer->Canvas().size(), QSize(64, 64));
  EXPECT_EQ(viewer->Canvas().grab().toImage().pixelColor(4, 4), QColor(204, 204, 204));  // the checkerboard
  viewer->close();
  QTest::qWait(10);
  wd_.Write("images/body_col.dds", {'D', 'D', 'S', ' ', 1});
  RunContextCommand(view, kCmdViewImageFile);  // undecodable: a box naming the file, no viewer
  EXPECT_EQ(view.LastImageViewer(), nullptr);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].find("body_col.dds"), std::string::npos);
}

TEST_F(TreeTest, RemoveFromThisListKeepsTheFile) {
  wd_.Write("xmodel/ghost", v20::Header({{"ghost_lod0", 0, {}}}));
  CTessaryView& view = LoadCar();
  RunContextCommand(view, kCmdRemoveFromList);
  ASSERT_EQ(view.ModelList().count(), 1);
  EXPECT_EQ(view.ModelList().item(0)->text(), "ghost");
  EXPECT_EQ(view.Tree().topLevelItemCount(), 0);
  EXPECT_TRUE(wd_.Exists("xmodel/car"));
}

TEST(TagsViewer, ShowsAReadableListingNamesTheFileItCannotReadAndClosesOnEscapeAndCtrlW) {
  tessary::test::TempWorkdir wd;
  wd.Write("obj/car_tags.txt", {'a', 0, 'b', 0, '\r', 0, '\n', 0, 'c', 0});  // UTF-16LE, no byte-order mark
  const std::string listing = wd.Str() + "\\obj\\car_tags.txt";
  for (auto [key, modifiers] : {std::pair{Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_W, Qt::ControlModifier}}) {
    SCOPED_TRACE(key);
    QWidget owner;  // deletes the viewer should it stay open
    QPointer<TagsViewer> viewer = new TagsViewer(&owner);
    std::string error;
    ASSERT_TRUE(viewer->OpenListing(listing, error));
    EXPECT_EQ((QStringList{viewer->toPlainText(), viewer->windowTitle()}), (QStringList{"ab\nc", "car_tags.txt"}));
    // Missing: the message names the file, the page shown stays the one read before.
    EXPECT_FALSE(viewer->OpenListing(wd.Str() + "\\obj\\gone_tags.txt", error));
    EXPECT_TRUE(error.rfind("Cannot read ", 0) == 0 && error.find("gone_tags.txt") != std::string::npos) << error;
    EXPECT_EQ(std::pair(viewer->toPlainText(), viewer->ListingPath()), std::pair(QString("ab\nc"), listing));
    viewer->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.data()));
    QTest::keyClick(viewer.data(), key, modifiers);
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.isNull(); }, 2000)) << "still open";  // closed, and so deleted
  }
}

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
    view.Tree().setCurrentItem(view.Tree().topLevelItem(0)->child(0)->child(0));  // the surface
    return view;
  }

  // Runs the command; `answer` acts on the dialog once it is up (none: no dialog expected).
  static int RunExport(CTessaryView& view, const std::function<void(CAnimationExportDlg&)>& answer,
                       int command = kCmdExportGltfAnimated) {
    return AnswerModal<CAnimationExportDlg>([&] { RunContextCommand(view, command); }, answer);
  }
};

TEST_F(AnimationExportTest, DialogListsBestMatchesFirstAndExportsTheChosenOnes) {
  wd_.Write("xanim/one_bone", xa::Write(Moving({"j_arm", "j_gun"})));
  wd_.Write("xanim/three_bones", xa::Write(Moving({"J_HAND", "j_arm", "tag_weapon", "j_bolt"})));
  wd_.Write("xanim/two_bones", xa::Write(Moving({"j_hand", "j_arm"})));
  wd_.Write("xanim/legs", xa::Write(Moving({"j_knee_le"})));
  CTessaryView& view = LoadArms();

  std::vector<std::string> rows;
  std::vector<bool> states;  // at first (the best one chosen): OK enabled, root motion on; OK with nothing chosen
  const int shown = RunExport(view, [&](CAnimationExportDlg& dlg) {
    for (int i = 0; i < dlg.List().count(); ++i) rows.push_back(dlg.List().item(i)->text().toStdString());
    QPushButton* ok = dlg.Buttons().button(QDialogButtonBox::Ok);
    states = {ok->isEnabled(), dlg.RootMotionBox().isChecked()};
    dlg.List().clearSelection();
    states.push_back(ok->isEnabled());
    dlg.List().item(0)->setSelected(true);
    dlg.List().item(2)->setSelected(true);
    ok->click();
  });
  EXPECT_EQ(rows, (std::vector<std::string>{"three_bones  (3 of 4 bones)", "two_bones  (2 of 2 bones)",
                                            "one_bone  (1 of 2 bones)"}));
  EXPECT_EQ(states, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(std::tuple(shown, dialogs_.beeps, view.RecentBox().findText("arms")),
            std::tuple(1, std::vector<BeepKind>{BeepKind::Type1}, 1));
  tinygltf::Model doc;
  std::string error, warn;
  ASSERT_TRUE(tinygltf::TinyGLTF().LoadBinaryFromFile(&doc, &error, &warn, (wd_.Path() / "obj/arms0.glb").string())) << error;
  ASSERT_EQ(doc.animations.size(), 2u);
  EXPECT_EQ(doc.animations[0].name + " " + doc.animations[1].name, "three_bones one_bone");
}

TEST_F(AnimationExportTest, XAnimExportUsesTheSameDialogWithoutTheRootMotionBox) {
  wd_.Write("xanim/two_bones", xa::Write(Moving({"j_hand", "j_arm"})));
  wd_.Write("xanim/one_bone", xa::Write(Moving({"j_arm", "j_gun"})));
  CTessaryView& view = LoadArms();
  std::string title;
  bool rootMotionShown = true;
  const int shown = RunExport(
      view,
      [&](CAnimationExportDlg& dlg) {
        title = dlg.windowTitle().toStdString();
        rootMotionShown = dlg.RootMotionBox().isVisibleTo(&dlg);
        dlg.List().item(1)->setSelected(true);
        dlg.Buttons().button(QDialogButtonBox::Ok)->click();
      },
      kCmdExportXAnim);
  EXPECT_EQ(std::tuple(shown, title, rootMotionShown), std::tuple(1, std::string("Export .XANIM_EXPORT"), false));
  RunContextCommand(view, kCmdExportXModel);  // the level's source text and its asset entry
  EXPECT_EQ(std::pair(dialogs_.beeps, dialogs_.messages.size()), std::pair(std::vector<BeepKind>(2, BeepKind::Type1), size_t{0}));
  for (const char* file : {"obj/two_bones.XANIM_EXPORT", "obj/two_bones.gdt", "obj/one_bone.XANIM_EXPORT",
                           "obj/one_bone.gdt", "obj/arms0.XMODEL_EXPORT", "obj/arms.gdt"})
    EXPECT_TRUE(wd_.Exists(file)) << file;
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
  EXPECT_EQ(std::pair(dialogs_.beeps.size(), wd_.Exists("obj/arms0.glb")), std::pair(size_t{0}, false));
}

}  // namespace
}  // namespace tessary::ui::test
