// The Frame Size and Information dialogs, built offscreen and driven through their widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <functional>

#include "dialogs/FrameSizeDialog.h"
#include "dialogs/InfoDialog.h"

namespace fw {
namespace {

template <typename T>
T* child(QWidget& parent, const char* name) {
  T* w = parent.findChild<T*>(name);
  EXPECT_NE(w, nullptr) << "no " << name;
  return w;
}

QString labelText(QWidget& parent, const char* name) {
  QLabel* label = child<QLabel>(parent, name);
  return label ? label->text() : QString();
}

// Runs `act` on the modal dialog as soon as it is shown; `act` must close it. Should no modal
// dialog be up, every visible dialog is rejected so that the test fails instead of hanging.
void whenModalShows(std::function<void(QWidget&)> act) {
  QTimer::singleShot(0, [act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      act(*modal);
      return;
    }
    ADD_FAILURE() << "no modal dialog is shown";
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
  });
}

// --- preview and read-out ---------------------------------------------------------------------

TEST(FrameSizeMaths, PreviewIsCentredAtOneSixthOfTheFrame) {
  EXPECT_EQ(framePreviewRect(252, 158), (FramePreviewRect{71, 55, 42, 26}));
  // The widest frame: 133 pixels starting at x 26.
  const FramePreviewRect widest = framePreviewRect(799, 599);
  EXPECT_EQ(widest.left, 26);
  EXPECT_EQ(widest.width, 133);
  EXPECT_EQ(widest.top, 19);
  EXPECT_EQ(widest.height, 99);
  EXPECT_EQ(framePreviewRect(16, 16), (FramePreviewRect{91, 67, 2, 2}));
}

TEST(FrameSizeMaths, ReadoutInMillimetresWithOneDecimal) {
  EXPECT_EQ(frameSizeReadout(252, 158), "160.0 x 100.3  (mm)");
  EXPECT_EQ(frameSizeReadout(799, 599), "507.4 x 380.4  (mm)");
  EXPECT_EQ(frameSizeReadout(16, 40), "10.2 x 25.4  (mm)");
  // 10 units are 6.35 mm exactly: the half rounds up.
  EXPECT_EQ(frameSizeReadout(10, 20), "6.4 x 12.7  (mm)");
}

TEST(FrameSizeMaths, SizesOutsideTheScrollBarRangesArePulledIn) {
  EXPECT_EQ(clampFrameWidth(0), 16);
  EXPECT_EQ(clampFrameWidth(800), 799);
  EXPECT_EQ(clampFrameWidth(65535), 799);
  EXPECT_EQ(clampFrameWidth(300), 300);
  EXPECT_EQ(clampFrameHeight(-5), 16);
  EXPECT_EQ(clampFrameHeight(600), 599);
  EXPECT_EQ(clampFrameHeight(16), 16);
}

// --- Frame Size dialog ----------------------------------------------------------------------

TEST(FrameSizeDialogTest, ShowsTheFrameInItsScrollBarsPreviewAndReadout) {
  FrameSizeDialog dialog;
  EXPECT_EQ(dialog.objectName(), "Tboardsize");
  EXPECT_EQ(dialog.windowTitle(), "Frame Size");
  EXPECT_EQ(dialog.size(), QSize(291, 174));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());

  dialog.setFrameSize(252, 158);
  QScrollBar* width = child<QScrollBar>(dialog, "ScrollBar1");
  QScrollBar* height = child<QScrollBar>(dialog, "ScrollBar2");
  ASSERT_TRUE(width && height);
  EXPECT_EQ(width->orientation(), Qt::Horizontal);
  EXPECT_EQ(height->orientation(), Qt::Vertical);
  EXPECT_EQ(width->minimum(), 16);
  EXPECT_EQ(width->maximum(), 799);
  EXPECT_EQ(height->minimum(), 16);
  EXPECT_EQ(height->maximum(), 599);
  EXPECT_EQ(width->pageStep(), 10);
  EXPECT_EQ(height->pageStep(), 10);
  EXPECT_EQ(width->value(), 252);
  EXPECT_EQ(height->value(), 158);
  EXPECT_EQ(labelText(dialog, "Label1"), "160.0 x 100.3  (mm)");
  EXPECT_EQ(child<QWidget>(dialog, "Shape1")->geometry(), QRect(8, 8, 169, 121));
  EXPECT_EQ(child<QWidget>(dialog, "Shape2")->geometry(), QRect(71, 55, 42, 26));

  QPushButton* ok = child<QPushButton>(dialog, "Button1");
  QPushButton* cancel = child<QPushButton>(dialog, "Button2");
  ASSERT_TRUE(ok && cancel);
  EXPECT_EQ(ok->text(), "Ok");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(cancel->text(), "Cancel");
}

TEST(FrameSizeDialogTest, MovingAScrollBarResizesThePreviewAndRewritesTheReadout) {
  FrameSizeDialog dialog;
  dialog.setFrameSize(252, 158);
  child<QScrollBar>(dialog, "ScrollBar1")->setValue(799);
  EXPECT_EQ(dialog.frameWidth(), 799);
  EXPECT_EQ(dialog.frameHeight(), 158);
  EXPECT_EQ(child<QWidget>(dialog, "Shape2")->geometry(), QRect(26, 55, 133, 26));
  EXPECT_EQ(labelText(dialog, "Label1"), "507.4 x 100.3  (mm)");

  child<QScrollBar>(dialog, "ScrollBar2")->setValue(16);
  EXPECT_EQ(dialog.frameHeight(), 16);
  EXPECT_EQ(child<QWidget>(dialog, "Shape2")->geometry(), QRect(26, 67, 133, 2));
  EXPECT_EQ(labelText(dialog, "Label1"), "507.4 x 10.2  (mm)");
}

TEST(FrameSizeDialogTest, AFrameOutsideTheRangesIsClampedWhenShown) {
  FrameSizeDialog dialog;
  dialog.setFrameSize(4000, 3);
  EXPECT_EQ(dialog.frameWidth(), 799);
  EXPECT_EQ(dialog.frameHeight(), 16);
  EXPECT_EQ(child<QScrollBar>(dialog, "ScrollBar1")->value(), 799);
  EXPECT_EQ(child<QScrollBar>(dialog, "ScrollBar2")->value(), 16);
  EXPECT_EQ(labelText(dialog, "Label1"), "507.4 x 10.2  (mm)");
}

TEST(FrameSizeDialogTest, OkReturnsTheNewSize) {
  whenModalShows([](QWidget& d) {
    child<QScrollBar>(d, "ScrollBar1")->setValue(400);
    child<QScrollBar>(d, "ScrollBar2")->setValue(300);
    child<QPushButton>(d, "Button1")->click();
  });
  int width = 252, height = 158;
  EXPECT_TRUE(runFrameSizeDialog(nullptr, width, height));
  EXPECT_EQ(width, 400);
  EXPECT_EQ(height, 300);
}

TEST(FrameSizeDialogTest, CancelAndTheTitleBarLeaveTheSizeAlone) {
  whenModalShows([](QWidget& d) {
    child<QScrollBar>(d, "ScrollBar1")->setValue(400);
    child<QPushButton>(d, "Button2")->click();
  });
  int width = 252, height = 158;
  EXPECT_FALSE(runFrameSizeDialog(nullptr, width, height));
  EXPECT_EQ(width, 252);
  EXPECT_EQ(height, 158);

  // Closing through the title bar, after an earlier Ok, still counts as Cancel.
  whenModalShows([](QWidget& d) { child<QPushButton>(d, "Button1")->click(); });
  ASSERT_TRUE(runFrameSizeDialog(nullptr, width, height));
  whenModalShows([](QWidget& d) {
    child<QScrollBar>(d, "ScrollBar2")->setValue(500);
    d.close();
  });
  EXPECT_FALSE(runFrameSizeDialog(nullptr, width, height));
  EXPECT_EQ(height, 158);
}

TEST(FrameSizeDialogTest, AnOutOfRangeFrameAcceptedUnchangedComesBackClamped) {
  whenModalShows([](QWidget& d) { child<QPushButton>(d, "Button1")->click(); });
  int width = 1200, height = 8;
  EXPECT_TRUE(runFrameSizeDialog(nullptr, width, height));
  EXPECT_EQ(width, 799);
  EXPECT_EQ(height, 16);
}

// --- Information dialog ---------------------------------------------------------------------

TEST(InfoDialogTest, CaptionsSizeAndFont) {
  InfoDialog dialog;
  EXPECT_EQ(dialog.objectName(), "TBtnRightDlg1");
  EXPECT_EQ(dialog.windowTitle(), "Information");
  EXPECT_EQ(dialog.size(), QSize(377, 185));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_TRUE(dialog.font().bold());
  EXPECT_EQ(dialog.font().pointSize(), 8);

  EXPECT_EQ(labelText(dialog, "Label1"), "Pins");
  EXPECT_EQ(labelText(dialog, "Label9"), "Wires");
  EXPECT_EQ(labelText(dialog, "Label3"), "Wire Segments");
  EXPECT_EQ(labelText(dialog, "Label2"), "TextStrings");
  EXPECT_EQ(labelText(dialog, "Label6"), "Objects");
  QLabel* image = child<QLabel>(dialog, "Image1");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->parentWidget()->objectName(), "Bevel2");
  QPushButton* close = child<QPushButton>(dialog, "Button1");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), "&Close");
  EXPECT_TRUE(close->isDefault());
}

TEST(InfoDialogTest, EachNumberStandsRightAlignedBesideItsCaption) {
  InfoDialog dialog;
  dialog.setCounts({4000, 12, 19988, 10001, 7});
  const std::pair<const char*, const char*> rows[] = {{"Label1", "Label5"},
                                                      {"Label9", "Label10"},
                                                      {"Label3", "Label7"},
                                                      {"Label2", "Label11"},
                                                      {"Label6", "Label12"}};
  const char* expected[] = {"4000", "12", "19988", "10001", "7"};
  int previousTop = -1;
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(rows[i].second);
    QLabel* caption = child<QLabel>(dialog, rows[i].first);
    QLabel* number = child<QLabel>(dialog, rows[i].second);
    ASSERT_TRUE(caption && number);
    EXPECT_EQ(number->text(), expected[i]);
    EXPECT_TRUE(number->alignment() & Qt::AlignRight);
    EXPECT_EQ(number->y(), caption->y());
    EXPECT_GT(number->x(), caption->x());
    EXPECT_GT(caption->y(), previousTop);
    previousTop = caption->y();
  }
}

TEST(InfoDialogTest, CloseButtonEndsTheDialog) {
  bool shown = false;
  whenModalShows([&shown](QWidget& d) {
    shown = true;
    EXPECT_EQ(labelText(d, "Label5"), "3");
    EXPECT_EQ(labelText(d, "Label12"), "0");
    child<QPushButton>(d, "Button1")->click();
  });
  InfoCounts counts;
  counts.pins = 3;
  runInfoDialog(nullptr, counts);
  EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace fw
