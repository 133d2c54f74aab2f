// Loading a model into the tree and the commands on the selected item.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "FormFixture.h"
#include "fixtures/V20Writer.h"
#include "model/Model.h"
#include "ui/FormTemplate.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"
#include "ui/TagsViewer.h"

namespace tessary::ui::test {
namespace {

namespace v20 = tessary::test::v20;

class TreeTest : public FormTest {
 protected:
  // A version 20 model: level 0 present with one material whose image is an .iwi, a
  // missing second material; level 1 a destructible surfaces file that is present; the
  // parts file present.
  void WriteModel() {
    wd_.Write("xmodel/car", v20::Header({{"car_lod0", 1, {"mtl_body", "mtl_gone"}},
                                         {"car_Destructible_MP_lod1", 0, {"mtl_body"}}}));
    wd_.Write("xmodelsurfs/car_lod0", v20::Surfaces({v20::Triangle()}));
    wd_.Write("xmodelsurfs/car_Destructible_MP_lod1", v20::Surfaces({v20::Triangle()}));
    wd_.Write("xmodelparts/car_lod0", v20::Parts({{0, {0, 0, 0}, "root"}}));
    wd_.Write("materials/mtl_body", v20::Material("body_col"));
    wd_.Write("images/body_col.iwi", tessary::test::ByteWriter().Raw("IWi"));
    wd_.Write("xmodel/odd", {99});
    StoreWorkingFolder();
  }

  CTessaryView& LoadModel(const QString& name) {
    CTessaryView& view = Start();
    QList<QListWidgetItem*> found = view.ModelList().findItems(name, Qt::MatchExactly);
    EXPECT_EQ(found.size(), 1);
    view.ModelList().setCurrentItem(found.value(0));  // as a click does
    return view;
  }

  // The row whose text is `text`.
  static QTreeWidgetItem* Row(CTessaryView& view, const QString& text) {
    auto rows = view.Tree().findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return rows.isEmpty() ? nullptr : rows.first();
  }

  static std::vector<int> EnabledActions(CTessaryView& view) {
    std::vector<int> on;
    for (int id : {kIdViewTags, kIdPreviewSurface, kIdExportObj, kIdExportX, kIdConvertToDds,
                   kIdRetrieveFile, kIdShowExploded})
      if (view.Control(id)->isEnabled()) on.push_back(id);
    return on;
  }
};

TEST_F(TreeTest, SelectingAModelFillsAndExpandsTheTree) {
  WriteModel();
  CTessaryView& view = LoadModel("car");
  ModelTreeView& tree = view.Tree();
  ASSERT_EQ(tree.topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree.topLevelItem(0);
  EXPECT_EQ(root->text(0), "car");
  ASSERT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(0)->text(0), "Surfaces");
  EXPECT_EQ(root->child(1)->text(0), "Parts (Tags)");
  EXPECT_EQ(view.modelVersion, 20);
  EXPECT_TRUE(view.Control(kIdReloadModel)->isEnabled());

  QTreeWidgetItem* level = root->child(0)->child(0);
  EXPECT_EQ(level->text(0), "car_lod0");
  EXPECT_TRUE(level->font(0).bold());
  EXPECT_FALSE(root->child(1)->child(0)->font(0).bold());
  EXPECT_EQ(ModelTreeView::CoreItem(level)->image, kImagePresent);
  EXPECT_EQ(ModelTreeView::CoreItem(Row(view, "mtl_gone"))->image, kImageMissing);
  EXPECT_EQ(ModelTreeView::CoreItem(root)->image, kImageGroup);
  // Each row shows the strip's image for its state.
  EXPECT_EQ(level->icon(0).cacheKey(), tree.Image(kImagePresent).cacheKey());
  EXPECT_EQ(Row(view, "mtl_gone")->icon(0).cacheKey(), tree.Image(kImageMissing).cacheKey());
  for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
    if ((*it)->childCount() > 0) {
      EXPECT_TRUE((*it)->isExpanded()) << (*it)->text(0).toStdString();
    }
  }
}

TEST_F(TreeTest, UnknownVersionShowsOnlyTheCollapsedGroups) {
  WriteModel();
  CTessaryView& view = LoadModel("odd");
  QTreeWidgetItem* root = view.Tree().topLevelItem(0);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(0)->childCount(), 0);
  EXPECT_FALSE(root->isExpanded());
}

TEST_F(TreeTest, SameEntryIsNotReloadedUntilTheReloadButton) {
  WriteModel();
  CTessaryView& view = LoadModel("car");
  const TreeItem* first = view.LoadedTree().Root();
  view.SelectModel();
  EXPECT_EQ(view.LoadedTree().Root(), first);
  // Moving the focus row (as tabbing into the list does) selects nothing and loads nothing.
  QListWidget& list = view.ModelList();
  list.selectionModel()->setCurrentIndex(list.model()->index(1, 0), QItemSelectionModel::NoUpdate);
  EXPECT_EQ(view.LoadedTree().Root(), first);
  qobject_cast<QPushButton*>(view.Control(kIdReloadModel))->click();
  EXPECT_NE(view.LoadedTree().Root(), first);
  EXPECT_EQ(view.LoadedTree().Root()->text, "car");
}

TEST_F(TreeTest, ButtonsFollowTheSelectedItem) {
  WriteModel();
  CTessaryView& view = LoadModel("car");
  ModelTreeView& tree = view.Tree();
  struct Case { const char* row; std::vector<int> enabled; };
  const Case cases[] = {
      {"car", {}},
      {"Surfaces", {}},
      {"car_lod0", {kIdPreviewSurface, kIdExportObj}},
      {"car_Destructible_MP_lod1", {kIdPreviewSurface, kIdExportObj, kIdShowExploded}},
      {"Materials", {}},
      {"mtl_gone", {kIdRetrieveFile}},
      {"body_col.iwi", {kIdConvertToDds}},
      {"car_lod0", {kIdPreviewSurface, kIdExportObj}},  // under "Parts (Tags)" it is a parts item
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    QTreeWidgetItem* row = Row(view, c.row);
    ASSERT_NE(row, nullptr);
    tree.setCurrentItem(row);
    EXPECT_EQ(EnabledActions(view), c.enabled);
  }
  tree.setCurrentItem(tree.topLevelItem(0)->child(1)->child(0));
  EXPECT_EQ(EnabledActions(view), std::vector<int>{kIdViewTags});
}

TEST_F(TreeTest, ShowExplodedCountsOnlyWhenTheBoxIsEnabled) {
  WriteModel();
  CTessaryView& view = LoadModel("car");
  view.ShowExplodedBox().setChecked(true);
  view.Tree().setCurrentItem(Row(view, "car_lod0"));  // box disabled, still checked
  g_showExploded = 1;
  view.ExportObj();
  EXPECT_EQ(g_showExploded, 0);
  view.Tree().setCurrentItem(Row(view, "car_Destructible_MP_lod1"));
  view.ExportObj();
  EXPECT_EQ(g_showExploded, 1);
  g_showExploded = 0;
}

TEST_F(TreeTest, ExportBeepsAndRemembersTheModel) {
  WriteModel();
  CTessaryView& view = LoadModel("car");
  view.Tree().setCurrentItem(Row(view, "car_lod0"));
  qobject_cast<QPushButton*>(view.Control(kIdExportObj))->click();
  ASSERT_EQ(dialogs_.beeps.size(), 1u);
  EXPECT_EQ(dialogs_.beeps[0], BeepKind::Type1);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(view.RecentBox().findText("car"), 1);
  // Preview of a version 20 surface also remembers it (a second time: no new entry).
  {
    ModalCloser closer;
    view.PreviewSurface();
  }
  EXPECT_EQ(view.RecentBox().count(), 2);
  // Export .X is for version 25 only: no beep for this one.
  view.ExportX();
  EXPECT_EQ(dialogs_.beeps.size(), 1u);
}

TEST_F(TreeTest, HeaderThatVanishedGivesTheFileErrorAndNoExport) {
  WriteModel();
  CTessaryView& view = LoadModel("car");
  view.Tree().setCurrentItem(Row(view, "car_lod0"));
  std::filesystem::remove(wd_.Path() / "xmodel" / "car");
  view.ExportObj();
  ASSERT_EQ(dialogs_.fileErrors.size(), 1u);
  EXPECT_NE(dialogs_.fileErrors[0].find("xmodel/car"), std::string::npos);
  EXPECT_TRUE(dialogs_.beeps.empty());
  EXPECT_EQ(view.RecentBox().count(), 1);
}

TEST_F(TreeTest, ViewTagsShowsTheListingDecoded) {
  // A version 14 header: nothing is written, the viewer opens what the obj folder holds.
  wd_.Write("xmodel/old", {14});
  const char listing[] = "t\0a\0g\0\r\0\n\0x\0\xE9\0";
  wd_.Write("obj/old_tags.txt", std::vector<uint8_t>(listing, listing + sizeof listing - 1));
  StoreWorkingFolder();
  CTessaryView& view = LoadModel("old");
  view.Tree().setCurrentItem(view.Tree().topLevelItem(0));
  view.ViewTags();
  TagsViewer* viewer = view.LastTagsViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->toPlainText(), QString::fromUtf8("tag\nx\xC3\xA9"));
  EXPECT_TRUE(viewer->isReadOnly());
  EXPECT_EQ(viewer->windowTitle(), "old_tags.txt");
  EXPECT_TRUE(QFontInfo(viewer->font()).fixedPitch());
}

TEST(TagsListing, DecodesLittleEndianSixteenBitText) {
  QByteArray bytes("A\0\r\0\n\0\x42\x20\r\0B", 11);  // trailing odd byte dropped
  EXPECT_EQ(DecodeTagsListing(bytes), QString("A\n") + QChar(0x2042) + "\n");
}

TEST_F(TreeTest, ConvertToDdsReloadsOnSuccessAndBeepsOnFailure) {
  registry_.DeleteKey(RegistryRoot::CurrentUser, profile::kConverterKey);  // built-in conversion
  WriteModel();
  CTessaryView& view = LoadModel("car");
  // The fixture's image is only its magic: the conversion refuses it.
  view.Tree().setCurrentItem(Row(view, "body_col.iwi"));
  const TreeItem* before = view.LoadedTree().Root();
  qobject_cast<QPushButton*>(view.Control(kIdConvertToDds))->click();
  EXPECT_EQ(dialogs_.beeps, std::vector<BeepKind>{BeepKind::Type2});
  EXPECT_EQ(view.LoadedTree().Root(), before);

  // A single-level DXT1 image of 4 by 4 pixels: header, then 8 bytes of pixels.
  tessary::test::ByteWriter iwi;
  iwi.Raw("IWi").U8(5).U8(0x0B).U8(3).U16(4).U16(4).U16(1).U32(36).U32(36).U32(36).U32(36);
  for (int i = 0; i < 8; ++i) iwi.U8(0xAB);
  wd_.Write("images/body_col.iwi", iwi);
  view.ConvertSelectedImage();
  EXPECT_TRUE(wd_.Exists("images/body_col.dds"));
  EXPECT_TRUE(wd_.Exists("images/body_col.iwi"));  // the source stays
  EXPECT_NE(view.LoadedTree().Root(), before);     // reloaded
  EXPECT_EQ(dialogs_.beeps.size(), 1u);
}

TEST_F(TreeTest, RetrieveOutsideAFileGroupIsRefused) {
  WriteModel();
  CTessaryView& view = LoadModel("car");
  view.Tree().setCurrentItem(view.Tree().topLevelItem(0));
  view.RetrieveFile();
  EXPECT_EQ(dialogs_.messages, std::vector<std::string>{"Cannot retrieve file."});
  ASSERT_EQ(dialogs_.beeps.size(), 1u);
}

TEST_F(TreeTest, RetrieveAllDisablesTheFormBetweenItsTwoPasses) {
  WriteModel();
  CTessaryView& view = LoadModel("car");
  view.RetrieveAllFiles();
  EXPECT_FALSE(view.isEnabled());
  EXPECT_TRUE(view.RetrievePassTimerActive());
  ASSERT_TRUE(QTest::qWaitFor([&] { return view.isEnabled(); }, 3000));
  EXPECT_FALSE(view.RetrievePassTimerActive());
  EXPECT_EQ(view.LoadedTree().Root()->text, "car");  // reloaded, still the same model
}

}  // namespace
}  // namespace tessary::ui::test
