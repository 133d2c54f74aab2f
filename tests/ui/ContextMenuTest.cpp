// The right-click menus of the model list and the tree: which entries each kind of item
// leaves enabled, and the commands only the menus offer.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "FormFixture.h"
#include "fixtures/V20Writer.h"
#include "ui/ContextMenus.h"
#include "ui/FormTemplate.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"

namespace tessary::ui::test {
namespace {

namespace fs = std::filesystem;
namespace v20 = tessary::test::v20;

class MenuTest : public FormTest {
 protected:
  // "car": level 0 present with four materials (a .dds image, a present .iwi, a missing
  // .iwi, a missing material file), level 1 missing. "ghost": its only level is missing.
  void WriteModels() {
    wd_.Write("xmodel/car", v20::Header({{"car_lod0", 1, {"mtl_body", "mtl_glass", "mtl_paint",
                                                          "mtl_gone"}},
                                         {"car_lod1", 0, {"mtl_body"}}}));
    wd_.Write("xmodelsurfs/car_lod0", v20::Surfaces({v20::Triangle()}));
    wd_.Write("xmodelparts/car_lod0", v20::Parts({{0, {0, 0, 0}, "root"}}));
    wd_.Write("materials/mtl_body", v20::Material("body_col"));
    wd_.Write("materials/mtl_glass", v20::Material("glass_col"));
    wd_.Write("materials/mtl_paint", v20::Material("paint_col"));
    wd_.Write("images/body_col.dds", {1});
    wd_.Write("images/glass_col.iwi", {1});
    wd_.Write("xmodel/ghost", v20::Header({{"ghost_lod0", 0, {"mtl_body"}}}));
    StoreWorkingFolder();
  }

  CTessaryView& StartShown() {
    CTessaryView& view = Start();
    frame_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
    return view;
  }

  static QTreeWidgetItem* Row(CTessaryView& view, const QString& text, int nth = 0) {
    auto rows = view.Tree().findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return nth < rows.size() ? rows[nth] : nullptr;
  }
  static QPoint AtRow(CTessaryView& view, QTreeWidgetItem* row) {
    return view.Tree().viewport()->mapToGlobal(view.Tree().visualItemRect(row).center());
  }
  static QPoint AtEntry(CTessaryView& view, const QString& name) {
    ModelListBox& list = view.ModelList();
    QListWidgetItem* entry = list.findItems(name, Qt::MatchExactly).value(0);
    return list.viewport()->mapToGlobal(list.visualItemRect(entry).center());
  }
  // The entries of `menu` that are enabled, by command id, in menu order.
  static std::vector<int> Enabled(const QMenu& menu) {
    std::vector<int> on;
    for (QAction* a : menu.actions())
      if (!a->isSeparator() && a->isEnabled()) on.push_back(a->data().toInt());
    return on;
  }
  static QString SelectedEntry(CTessaryView& view) {
    auto selected = view.ModelList().selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
  }
};

// Right clicks as the window system delivers them: the list's goes up to the form, the
// tree's is the tree's own; each shows its menu, which is closed here without a command.
TEST_F(MenuTest, RightClicksShowTheMenus) {
  WriteModels();
  CTessaryView& view = StartShown();
  std::vector<int> entries;
  auto rightClick = [&](QWidget* viewport, const QPoint& global) {
    entries.clear();
    QTimer::singleShot(0, [&] {
      QWidget* popup = QApplication::activePopupWidget();
      if (auto* menu = qobject_cast<QMenu*>(popup))
        for (QAction* a : menu->actions()) entries.push_back(a->data().toInt());
      if (popup != nullptr) popup->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, viewport->mapFromGlobal(global), global);
    QApplication::sendEvent(viewport, &event);
  };
  rightClick(view.ModelList().viewport(), AtEntry(view, "car"));
  EXPECT_EQ(entries, (std::vector<int>{kCmdViewFirstSurface, kCmdRemoveFromList}));
  EXPECT_EQ(view.LoadedTree().Root()->text, "car");
  rightClick(view.Tree().viewport(), AtRow(view, Row(view, "glass_col.iwi")));
  EXPECT_EQ(entries.size(), 7u);
  EXPECT_EQ(view.Tree().currentItem(), Row(view, "glass_col.iwi"));
}

TEST_F(MenuTest, TreeMenuGreysEntriesForEachKindOfItem) {
  WriteModels();
  CTessaryView& view = StartShown();
  view.ModelList().setCurrentRow(0);  // "car"
  Workspace& ws = view.WorkspaceFields();
  struct Case {
    const char* row;
    int nth;
    bool converter, winrar;
    std::vector<int> enabled;
  };
  const Case cases[] = {
      {"Surfaces", 0, true, true, {}},
      {"Materials", 0, true, true, {}},
      {"car_lod0", 0, true, true, {kCmdPreviewSurface, kCmdCopyFileName}},
      {"car_lod1", 0, true, true, {kCmdRetrieveFile, kCmdCopyFileName}},  // missing surfaces
      {"car_lod0", 1, true, true, {kCmdCopyFileName}},  // the parts file of "Parts (Tags)"
      {"glass_col.iwi", 0, true, true, {kCmdConvertToDds, kCmdCopyFileName}},
      {"paint_col.iwi", 0, true, true, {kCmdRetrieveFile, kCmdCopyFileName}},
      {"paint_col.iwi", 0, true, false, {kCmdCopyFileName}},
      {"mtl_gone", 0, false, true, {kCmdRetrieveFile, kCmdCopyFileName}},
      {"body_col.dds", 0, true, true, {kCmdViewImageFile, kCmdCopyFileName}},
      {"body_col.dds", 0, false, true, {kCmdCopyFileName}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.row) + " converter " + std::to_string(c.converter) + " winrar " +
                 std::to_string(c.winrar));
    ws.converterFound = c.converter;
    ws.winrarKeyFound = c.winrar;
    QTreeWidgetItem* row = Row(view, c.row, c.nth);
    ASSERT_NE(row, nullptr);
    view.Tree().setCurrentItem(view.Tree().topLevelItem(0));
    std::unique_ptr<QMenu> menu = PrepareTreeMenu(view, AtRow(view, row));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().size(), 7);
    EXPECT_EQ(Enabled(*menu), c.enabled);
    // The item was selected first, so the buttons follow it as after a click.
    EXPECT_EQ(view.Tree().currentItem(), row);
  }
  // The Retrieve file button needs only the missing file.
  view.Tree().setCurrentItem(Row(view, "paint_col.iwi"));
  EXPECT_TRUE(view.Control(kIdRetrieveFile)->isEnabled());
}

TEST_F(MenuTest, RootMenuLeavesTheSelectionAndCopiesTheSelectedName) {
  WriteModels();
  CTessaryView& view = StartShown();
  view.ModelList().setCurrentRow(0);
  ModelTreeView& tree = view.Tree();
  QTreeWidgetItem* image = Row(view, "glass_col.iwi");
  tree.setCurrentItem(image);
  std::unique_ptr<QMenu> menu = PrepareTreeMenu(view, AtRow(view, tree.topLevelItem(0)));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Enabled(*menu), (std::vector<int>{kCmdRetrieveAllFiles, kCmdCopyFileName}));
  EXPECT_EQ(tree.currentItem(), image);
  RunContextCommand(view, kCmdCopyFileName);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "glass_col.iwi");

  // Below the last row there is no item: no menu, nothing changes.
  QPoint below = tree.viewport()->mapToGlobal(QPoint(5, tree.viewport()->height() - 2));
  EXPECT_EQ(PrepareTreeMenu(view, below), nullptr);
  EXPECT_EQ(tree.currentItem(), image);
}

TEST_F(MenuTest, CopiedNameIsTheBareNameWithItsBytesAsCharacters) {
  wd_.Write("xmodel/caf\xE9", v20::Header({{"caf\xE9_lod0", 0, {}}}));
  wd_.Write("xmodelsurfs/caf\xE9_lod0", v20::Surfaces({v20::Triangle()}));
  StoreWorkingFolder();
  CTessaryView& view = StartShown();
  view.ModelList().setCurrentRow(0);
  QTreeWidgetItem* surface = view.Tree().topLevelItem(0)->child(0)->child(0);
  view.Tree().setCurrentItem(surface);
  CopyFileName(view);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromLatin1("caf\xE9_lod0"));
  // Nothing selected: an empty text replaces what was there.
  view.Tree().setCurrentItem(nullptr);
  CopyFileName(view);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
}

TEST_F(MenuTest, ListMenuLoadsTheEntryAndGreysViewFirstSurfaceWithoutOne) {
  WriteModels();
  CTessaryView& view = StartShown();
  std::unique_ptr<QMenu> menu = PrepareListMenu(view, AtEntry(view, "ghost"));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(SelectedEntry(view), "ghost");
  EXPECT_EQ(view.LoadedTree().Root()->text, "ghost");
  EXPECT_EQ(Enabled(*menu), std::vector<int>{kCmdRemoveFromList});

  menu = PrepareListMenu(view, AtEntry(view, "car"));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(view.LoadedTree().Root()->text, "car");
  EXPECT_EQ(Enabled(*menu), (std::vector<int>{kCmdViewFirstSurface, kCmdRemoveFromList}));

  // Below the last entry, and outside the list: no menu, the loaded model stays.
  const TreeItem* loaded = view.LoadedTree().Root();
  ModelListBox& list = view.ModelList();
  QPoint below = list.viewport()->mapToGlobal(QPoint(5, list.viewport()->height() - 2));
  EXPECT_EQ(PrepareListMenu(view, below), nullptr);
  EXPECT_EQ(PrepareListMenu(view, list.mapToGlobal(QPoint(-5, 5))), nullptr);
  EXPECT_EQ(view.LoadedTree().Root(), loaded);
  EXPECT_EQ(SelectedEntry(view), "car");
}

TEST_F(MenuTest, ViewFirstSurfaceSkipsMissingFilesFromMenuAndDoubleClick) {
  wd_.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {}}, {"tank_lod1", 0, {}}}));
  wd_.Write("xmodelsurfs/tank_lod1", v20::Surfaces({v20::Triangle()}));
  wd_.Write("xmodel/odd", {99});
  StoreWorkingFolder();
  CTessaryView& view = StartShown();
  EXPECT_EQ(FirstSurfaceIndex(view.Tree()), -1);  // no root
  view.ModelList().setCurrentRow(view.ModelList().FindPrefix("odd"));  // groups only
  EXPECT_EQ(FirstSurfaceIndex(view.Tree()), -1);
  QPoint entry = AtEntry(view, "tank");
  std::unique_ptr<QMenu> menu = PrepareListMenu(view, entry);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(FirstSurfaceIndex(view.Tree()), 1);
  RunContextCommand(view, kCmdViewFirstSurface);
  ASSERT_NE(view.Tree().currentItem(), nullptr);
  EXPECT_EQ(view.Tree().currentItem()->text(0), "tank_lod1");
  EXPECT_TRUE(view.Control(kIdPreviewSurface)->isEnabled());
  EXPECT_EQ(view.RecentBox().findText("tank"), 1);  // the preview remembers the model

  // A double click in the list does the same.
  view.Tree().setCurrentItem(view.Tree().topLevelItem(0));
  QWidget* viewport = view.ModelList().viewport();
  QPoint at = viewport->mapFromGlobal(entry);
  QTest::mouseClick(viewport, Qt::LeftButton, {}, at);  // the double click's first press
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
  ASSERT_NE(view.Tree().currentItem(), nullptr);
  EXPECT_EQ(view.Tree().currentItem()->text(0), "tank_lod1");
}

TEST_F(MenuTest, RemoveFromListDropsTheEntryAndEmptiesTheTreeOnly) {
  WriteModels();
  CTessaryView& view = StartShown();
  view.AddRecentFile("car");
  view.ModelList().setCurrentRow(0);
  view.Tree().setCurrentItem(Row(view, "car_lod0"));
  ASSERT_NE(PrepareListMenu(view, AtEntry(view, "car")), nullptr);
  RunContextCommand(view, kCmdRemoveFromList);

  EXPECT_EQ(view.ModelList().count(), 1);
  EXPECT_EQ(view.ModelList().item(0)->text(), "ghost");
  EXPECT_EQ(view.Tree().topLevelItemCount(), 0);
  EXPECT_TRUE(wd_.Exists("xmodel/car"));                       // the file stays
  EXPECT_TRUE(view.Control(kIdPreviewSurface)->isEnabled());   // buttons untouched
  EXPECT_EQ(view.RecentBox().count(), 2);                      // recent files untouched
  // The entry that moved up loads when it is picked.
  view.ModelList().setCurrentRow(0);
  ASSERT_NE(view.LoadedTree().Root(), nullptr);
  EXPECT_EQ(view.LoadedTree().Root()->text, "ghost");

  // With nothing selected the command does nothing.
  view.ModelList().clearSelection();
  RemoveFromList(view);
  EXPECT_EQ(view.ModelList().count(), 1);
}

TEST_F(MenuTest, ViewImageFileRunsTheConverterOnTheImage) {
  fs::path record = wd_.Path() / "viewed.txt";
  fs::path tool = wd_.Path() / "viewer.sh";
  std::ofstream(tool) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record.string() << "'\n";
  fs::permissions(tool, fs::perms::owner_all);
  registry_.CreateAndWrite(RegistryRoot::CurrentUser, profile::kConverterKey, "InstallPath",
                           tool.string());
  WriteModels();
  CTessaryView& view = StartShown();
  ASSERT_TRUE(view.WorkspaceFields().converterFound);
  view.ModelList().setCurrentRow(0);
  std::unique_ptr<QMenu> menu = PrepareTreeMenu(view, AtRow(view, Row(view, "body_col.dds")));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(Enabled(*menu), (std::vector<int>{kCmdViewImageFile, kCmdCopyFileName}));
  RunContextCommand(view, kCmdViewImageFile);
  std::ifstream in(record);
  std::string seen((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(seen, wd_.Str() + "\\images\\body_col.dds");
  EXPECT_TRUE(dialogs_.messages.empty());
}

}  // namespace
}  // namespace tessary::ui::test
