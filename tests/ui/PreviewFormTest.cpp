// The form's Preview surface command: a window on the selected level for versions 20
// and 25, none for version 14, and the model in the recent files either way.
#include <QApplication>
#include <QTimer>
#include <algorithm>

#include "FormFixture.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"
#include "ui/FormStrings.h"
#include "ui/PreviewDlg.h"

namespace tessary::ui::test {
namespace {

namespace v20 = tessary::test::v20;
namespace v14 = tessary::test::v14;

class PreviewCommandTest : public FormTest {
 protected:
  // Loads `name` from the list and selects level `level` in the tree.
  CTessaryView& LoadAndSelect(const QString& name, int level) {
    StoreWorkingFolder();
    CTessaryView& view = Start();
    auto found = view.ModelList().findItems(name, Qt::MatchExactly);
    EXPECT_EQ(found.size(), 1);
    view.ModelList().setCurrentItem(found.value(0));
    QTreeWidgetItem* surfaces = view.Tree().topLevelItem(0)->child(0);
    view.Tree().setCurrentItem(surfaces->child(level));
    return view;
  }
  // Runs the command; every modal window it opens is noted and closed again.
  void RunPreview(CTessaryView& view) {
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [this] {
      if (auto* dlg = qobject_cast<CPreviewDlg*>(QApplication::activeModalWidget())) {
        opened.push_back(dlg->windowTitle().toStdString());
        levels.push_back(dlg->lodIndex);
        waitCursorShown.push_back(QApplication::overrideCursor() != nullptr);
        dlg->reject();
      }
    });
    watcher.start(20);
    view.PreviewSurface();
  }
  bool InRecent(CTessaryView& view, const std::string& name) {
    const auto& entries = view.Recent().Entries();
    return std::find(entries.begin(), entries.end(), name) != entries.end();
  }

  std::vector<std::string> opened;
  std::vector<int> levels;
  std::vector<bool> waitCursorShown;
};

TEST_F(PreviewCommandTest, Version20OpensTheSelectedLevelCaptionedWithItsName) {
  wd_.Write("xmodel/box", v20::Header({{"box_lod0", 1, {"mtl_box"}}, {"box_lod1", 0, {"mtl_box"}}}));
  wd_.Write("xmodelsurfs/box_lod0", v20::Surfaces({v20::Triangle()}));
  wd_.Write("xmodelsurfs/box_lod1", v20::Surfaces({v20::Triangle()}));
  CTessaryView& view = LoadAndSelect("box", 1);
  RunPreview(view);
  EXPECT_TRUE(InRecent(view, "box"));
  if (!PreviewOpenGlAvailable()) {
    // No window without OpenGL, but a message that says why.
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(dialogs_.messages, std::vector<std::string>{kPreviewNeedsOpenGl});
    return;
  }
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "Preview: box_lod1");
  EXPECT_EQ(levels[0], 1);
  EXPECT_FALSE(waitCursorShown[0]) << "the window shows its own cursors";
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "and the command restores its own";
  EXPECT_EQ(Stored(profile::kSettings, profile::kMaxPreview), "0") << "written on close";
}

TEST_F(PreviewCommandTest, Version14OpensNoWindowButIsRemembered) {
  wd_.Write("xmodel/old", v14::Header({"old_lod0"}, v14::Lists({{"skin.dds"}})));
  wd_.Write("xmodelsurfs/old_lod0", v14::Surfaces({}));
  CTessaryView& view = LoadAndSelect("old", 0);
  ASSERT_EQ(view.modelVersion, 14);
  RunPreview(view);
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(InRecent(view, "old"));
}

}  // namespace
}  // namespace tessary::ui::test
