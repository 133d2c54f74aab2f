// The frame and the form's layout: window style, title, and controls placed from the
// template's dialog units with the form font's metrics.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "FormFixture.h"
#include "ui/DialogUnits.h"
#include "ui/FormTemplate.h"
#include "ui/ModelListBox.h"
#include "ui/SymbolButton.h"

namespace tessary::ui::test {
namespace {

TEST(DialogUnits, ConvertsEdgesWithRounding) {
  // A font of base units 6 by 13 (the classic 8 point dialog font).
  DialogBaseUnits units{6, 13};
  // "..." button at 326, 7, 21, 14: left 326*6/4 = 489, top 7*13/8 = 11.375 -> 11,
  // right 347*6/4 = 520.5 -> 521, bottom 21*13/8 = 34.125 -> 34.
  EXPECT_EQ(DialogToPixels(QRect(326, 7, 21, 14), units), QRect(489, 11, 32, 23));
  // The whole form, 400 by 335: 600 by 544.375 -> 544.
  EXPECT_EQ(DialogToPixels(QRect(0, 0, 400, 335), units).size(), QSize(600, 544));
  // Halves round away from zero on both sides of it.
  EXPECT_EQ(ScaleDialogUnit(1, 6, 4), 2);
  EXPECT_EQ(ScaleDialogUnit(-1, 6, 4), -2);
  EXPECT_EQ(ScaleDialogUnit(5, 13, 8), 8);  // 8.125
}

TEST_F(FormTest, FrameIsFixedSizeWithoutMenuOrMaximize) {
  StoreWorkingFolder();
  CTessaryView& view = Start();
  const QMainWindow& frame = *frame_;
  EXPECT_EQ(frame.windowTitle().toStdString(), "Tessary (Call of Duty Series) ");
  Qt::WindowFlags flags = frame.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(frame.menuWidget(), nullptr);
  EXPECT_EQ(frame.minimumSize(), frame.maximumSize());
  DialogBaseUnits units = view.BaseUnits();
  EXPECT_EQ(frame.size(), DialogToPixels(QRect(0, 0, 400, 335), units).size());
}

TEST_F(FormTest, EveryTemplateControlSitsAtItsConvertedPlace) {
  StoreWorkingFolder();
  CTessaryView& view = Start();
  DialogBaseUnits units = BaseUnitsOf(view.font());
  int labels = 0;
  for (const ControlTemplate& c : MainFormTemplate()) {
    SCOPED_TRACE(c.text);
    QRect expected = DialogToPixels(c.rect, units);
    QWidget* w = c.id == kIdStatic ? view.findChild<QWidget*>(QString("label%1").arg(++labels))
                                   : view.Control(c.id);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->pos(), expected.topLeft());
    EXPECT_EQ(w->width(), expected.width());
    if (c.kind != ControlKind::DropDown) {
      EXPECT_EQ(w->height(), expected.height());
    }
  }
  EXPECT_EQ(labels, 4);
  // The labels keep their texts, the first one right-aligned.
  EXPECT_EQ(view.findChild<QLabel*>("label1")->text(), "Xmodel folder: ");
  EXPECT_TRUE(view.findChild<QLabel*>("label1")->alignment() & Qt::AlignRight);
}

TEST_F(FormTest, SymbolButtonsShowTheirIcons) {
  StoreWorkingFolder();
  CTessaryView& view = Start();
  struct Expect { int id; const char* face; unsigned char ch; };
  for (Expect e : {Expect{kIdRefreshList, "Webdings", 0x71}, Expect{kIdReloadModel, "Webdings", 0x71},
                   Expect{kIdChooseFolder, "Wingdings", 0x31}, Expect{kIdPathSetup, "Webdings", 0x40},
                   Expect{kIdAbout, "Webdings", 0x69}}) {
    auto* b = qobject_cast<CSymbolButton*>(view.Control(e.id));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Face(), e.face);
    EXPECT_EQ(b->Symbol(), e.ch);
    EXPECT_EQ(b->FontHeight(), -18);
    EXPECT_EQ(b->FontWeight(), 100);
    EXPECT_FALSE(b->icon().isNull()) << e.id;
  }
  // A symbol with no drawn icon falls back to its character.
  CSymbolButton plain;
  plain.SetSymbol(-12, 400, "Webdings", 'Z');
  EXPECT_TRUE(plain.icon().isNull());
  EXPECT_EQ(plain.text(), "Z");
}

TEST_F(FormTest, StartStateOfTheControls) {
  StoreWorkingFolder();
  CTessaryView& view = Start();
  for (int id : {kIdReloadModel, kIdShowExploded, kIdPreviewSurface, kIdExportObj, kIdExportX,
                 kIdConvertToDds, kIdRetrieveFile, kIdViewTags})
    EXPECT_FALSE(view.Control(id)->isEnabled()) << id;
  EXPECT_TRUE(view.Control(kIdRefreshList)->isEnabled());
  ASSERT_EQ(view.RecentBox().count(), 1);
  EXPECT_EQ(view.RecentBox().itemText(0), "");
}

TEST_F(FormTest, ModelListIsSortedWithExtentNinetyBelowTheWidestName) {
  wd_.Write("xmodel/Zeta", {20});
  wd_.Write("xmodel/alpha", {20});
  wd_.Write("xmodel/a_very_long_model_header_file_name_for_the_extent", {20});
  wd_.Write("xmodel/Beta", {20});
  std::filesystem::create_directory(wd_.Path() / "xmodel" / "afolder");
  StoreWorkingFolder();
  CTessaryView& view = Start();
  ModelListBox& list = view.ModelList();
  ASSERT_EQ(list.count(), 4);  // the sub-folder is not listed
  EXPECT_EQ(list.item(0)->text(), "a_very_long_model_header_file_name_for_the_extent");
  EXPECT_EQ(list.item(1)->text(), "alpha");
  EXPECT_EQ(list.item(2)->text(), "Beta");
  EXPECT_EQ(list.item(3)->text(), "Zeta");
  int widest = list.MeasureName("a_very_long_model_header_file_name_for_the_extent");
  ASSERT_GT(widest, 90);
  EXPECT_EQ(list.HorizontalExtent(), widest - 90);

  // Names narrower than 90 pixels leave no sideways scrolling at all.
  std::filesystem::remove(wd_.Path() / "xmodel" / "a_very_long_model_header_file_name_for_the_extent");
  view.RefreshList();
  ASSERT_LT(list.MeasureName("alpha"), 90);
  EXPECT_EQ(list.HorizontalExtent(), 0);
}

}  // namespace
}  // namespace tessary::ui::test
