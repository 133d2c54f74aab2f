// Not a check: with TESSARY_SCREENSHOT=FILE.png and TESSARY_SCREENSHOT_WORKDIR=DIR set
// (scripts/screenshot.sh does it), shows the form on DIR, loads the first model, selects
// its first surface and saves the window as FILE.png.
#include <QScreen>
#include <QTest>

#include "Fixtures.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"

namespace tessary::ui::test {
namespace {

TEST_F(FormTest, Screenshot) {
  QString out = qEnvironmentVariable("TESSARY_SCREENSHOT");
  QString workdir = qEnvironmentVariable("TESSARY_SCREENSHOT_WORKDIR");
  if (out.isEmpty() || workdir.isEmpty()) GTEST_SKIP() << "no screenshot asked for";
  Store(profile::kSettings, profile::kWorkingFolder, workdir.toStdString());
  CTessaryView& view = Start();
  QString model = qEnvironmentVariable("TESSARY_SCREENSHOT_MODEL");
  int row = model.isEmpty() ? 0 : view.ModelList().FindPrefix(model);
  view.ModelList().setCurrentRow(row);
  view.AddRecentFile(view.ModelList().item(row)->text().toStdString());
  QTreeWidgetItem* root = view.Tree().topLevelItem(0);
  if (root && root->childCount() > 0 && root->child(0)->childCount() > 0)
    view.Tree().setCurrentItem(root->child(0)->child(0));
  frame_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
  QTest::qWait(300);
  ASSERT_TRUE(frame_->grab().save(out));
}

}  // namespace
}  // namespace tessary::ui::test
