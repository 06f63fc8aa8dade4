// The Frame Size, Text Options, Print Board and Information dialogs, built offscreen and driven
// through their widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <array>
#include <functional>

#include "app/QtHost.h"
#include "dialogs/FrameSizeDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/PrintBoardDialog.h"
#include "dialogs/TextOptionsDialog.h"

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

// --- Text Options dialog --------------------------------------------------------------------

int samplePoints(QWidget& dialog) {
  return child<QLabel>(dialog, "Label1")->font().pointSize();
}

TEST(TextOptionsDialogTest, CaptionFixedClientSizeAndWhereEachControlStands) {
  TextOptionsDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Text Options");
  EXPECT_EQ(dialog.size(), QSize(304, 154));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(dialog.windowFlags() &
               (Qt::WindowContextHelpButtonHint | Qt::WindowMinMaxButtonsHint));
  EXPECT_EQ(dialog.font().pointSize(), 8);
  EXPECT_EQ(child<QLabel>(dialog, "Label1")->font().family(), "Times New Roman");

  const struct {
    const char* name;
    const char* parent;
    QRect geometry;
    const char* text;
  } controls[] = {{"Edit1", "Tctext", {8, 8, 289, 21}, ""},
                  {"GroupBox1", "Tctext", {8, 32, 201, 113}, "Size"},
                  {"Label1", "GroupBox1", {32, 16, 161, 65}, "ABC"},
                  {"ScrollBar1", "GroupBox1", {8, 88, 153, 17}, nullptr},
                  {"Button1", "Tctext", {216, 40, 81, 25}, "&Ok"},
                  {"Button2", "Tctext", {216, 72, 81, 25}, "&Cancel"}};
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    QWidget* w = child<QWidget>(dialog, c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget()->objectName(), c.parent);
    EXPECT_EQ(w->geometry(), c.geometry);
    if (c.text) {
      EXPECT_EQ(w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text").toString(), c.text);
    }
  }
  // The percentage sizes itself to its text.
  QLabel* percent = child<QLabel>(dialog, "Label2");
  EXPECT_EQ(percent->parentWidget()->objectName(), "GroupBox1");
  EXPECT_EQ(percent->geometry(), QRect(QPoint(168, 88), percent->sizeHint()));
}

TEST(TextOptionsDialogTest, ShowingPutsTextAndSizeInTheControlsWithTheFocusInTheEditBox) {
  TextOptionsDialog dialog;
  QLineEdit* edit = child<QLineEdit>(dialog, "Edit1");
  QPushButton* ok = child<QPushButton>(dialog, "Button1");
  QPushButton* cancel = child<QPushButton>(dialog, "Button2");
  ASSERT_TRUE(edit && ok && cancel);
  dialog.setTextOptions("R12", 20);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(edit->text(), "R12");
  EXPECT_EQ(child<QScrollBar>(dialog, "ScrollBar1")->value(), 20);
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(labelText(dialog, "Label2"), "40%");
  EXPECT_EQ(samplePoints(dialog), 20);

  // Opened again after the focus moved to Cancel, with a size above the scroll bar's range.
  cancel->setFocus();
  dialog.hide();
  dialog.setTextOptions("", 63);
  dialog.show();
  EXPECT_EQ(dialog.focusWidget(), edit);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(cancel->isDefault());
  EXPECT_EQ(dialog.textSize(), 50);
  EXPECT_EQ(labelText(dialog, "Label2"), "100%");
  EXPECT_EQ(samplePoints(dialog), 50);
}

TEST(TextOptionsDialogTest, MovingTheScrollBarRedrawsTheSampleAndThePercentage) {
  TextOptionsDialog dialog;
  dialog.setTextOptions("X", 10);
  QScrollBar* size = child<QScrollBar>(dialog, "ScrollBar1");
  QLabel* percent = child<QLabel>(dialog, "Label2");
  ASSERT_TRUE(size && percent);
  const std::pair<QAbstractSlider::SliderAction, int> moves[] = {
      {QAbstractSlider::SliderPageStepAdd, 15},
      {QAbstractSlider::SliderSingleStepSub, 14},
      {QAbstractSlider::SliderToMinimum, 5},
      {QAbstractSlider::SliderToMaximum, 50}};
  for (const auto& [action, points] : moves) {
    SCOPED_TRACE(points);
    size->triggerAction(action);
    EXPECT_EQ(samplePoints(dialog), points);
    EXPECT_EQ(percent->text(), QString::number(2 * points) + "%");
    EXPECT_EQ(percent->size(), percent->sizeHint());
  }
}

TEST(TextOptionsDialogTest, OkReturnsWhatWasEnteredAndCancelOrTheTitleBarLeaveItAlone) {
  whenModalShows([](QWidget& d) {
    child<QLineEdit>(d, "Edit1")->clear();
    QTest::keyClicks(child<QLineEdit>(d, "Edit1"), " C7 100n ");
    child<QScrollBar>(d, "ScrollBar1")->setValue(12);
    child<QPushButton>(d, "Button1")->click();
  });
  std::string text = "R1";
  int size = 20;
  EXPECT_TRUE(runTextOptionsDialog(nullptr, text, size));
  EXPECT_EQ(text, " C7 100n ");
  EXPECT_EQ(size, 12);

  whenModalShows([](QWidget& d) {
    child<QLineEdit>(d, "Edit1")->clear();
    child<QPushButton>(d, "Button1")->click();
  });
  EXPECT_TRUE(runTextOptionsDialog(nullptr, text, size));
  EXPECT_EQ(text, "");

  text = "R1";
  whenModalShows([](QWidget& d) {
    QTest::keyClicks(child<QLineEdit>(d, "Edit1"), "zz");
    child<QScrollBar>(d, "ScrollBar1")->setValue(30);
    child<QPushButton>(d, "Button2")->click();
  });
  EXPECT_FALSE(runTextOptionsDialog(nullptr, text, size));
  whenModalShows([](QWidget& d) {
    QTest::keyClicks(child<QLineEdit>(d, "Edit1"), "zz");
    d.close();
  });
  EXPECT_FALSE(runTextOptionsDialog(nullptr, text, size));
  EXPECT_EQ(text, "R1");
  EXPECT_EQ(size, 12);

  // Through the host: 8-bit characters survive, the box takes 32 characters, Enter means Ok
  // and a size beyond the scroll bar comes back as the scroll bar holds it.
  QtHost host(nullptr);
  const std::string umlauts =
      "Gr\xF6\xDF"
      "e";
  text = umlauts;
  size = 63;
  whenModalShows([](QWidget& d) {
    QTest::keyClick(child<QLineEdit>(d, "Edit1"), Qt::Key_End);
    QTest::keyClicks(child<QLineEdit>(d, "Edit1"), QString(40, 'x'));
    QTest::keyClick(child<QLineEdit>(d, "Edit1"), Qt::Key_Return);
  });
  EXPECT_TRUE(host.editTextOptions(text, size));
  EXPECT_EQ(text, umlauts + std::string(27, 'x'));
  EXPECT_EQ(size, 50);
}

TEST(TextOptionsDialogTest, TabRunsCancelOkScrollBarAndEditBox) {
  TextOptionsDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  child<QPushButton>(dialog, "Button2")->setFocus();
  for (const char* next : {"Button1", "ScrollBar1", "Edit1", "Button2"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), next);
  }
}

// --- Print Board dialog ---------------------------------------------------------------------

std::string describe(const PrintSettings& s) {
  return "layer " + std::to_string(s.layer) + ", dpi item " + std::to_string(s.dpiIndex) + ", " +
         std::to_string(s.scale) + "%" + (s.mirror ? ", mirror" : "") +
         (s.negative ? ", negative" : "") + (s.ruler ? ", ruler" : "") +
         (s.frameMarks ? ", frame marks" : "");
}

// Chooses something other than what the dialog opens with in every control.
void chooseEverything(QWidget& d) {
  child<QComboBox>(d, "ComboBox1")->setCurrentIndex(2);
  child<QComboBox>(d, "ComboBox2")->setCurrentIndex(3);
  child<QScrollBar>(d, "ScrollBar1")->setValue(75);
  for (const char* box : {"MirrorBox", "NegativeBox", "RulerBox", "FrameMarksBox"})
    child<QCheckBox>(d, box)->setChecked(true);
}

TEST(PrintBoardDialogTest, CaptionsListsAndLayout) {
  PrintBoardDialog dialog;
  EXPECT_EQ(dialog.objectName(), "TBtnRightDlg");
  EXPECT_EQ(dialog.windowTitle(), "Print Board");
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_EQ(dialog.font(), QFont("Arial", 8));
  // Each control's caption or list items, then its tool tip; no caption or item is cut off.
  const std::pair<const char*, QString> controls[] = {
      {"Label2", "Layer to Print"},
      {"Label3", "Printer Dpi"},
      {"Label4", "Scale:"},
      {"Label1", "100%"},
      {"Button1", "&Print"},
      {"Button2", "&Cancel"},
      {"ComboBox1",
       "Print Layer 1          [Green]|Print Layer 2          [Red]|"
       "Print Graphics        [Purple]|Print Pins Only  "},
      {"ComboBox2", "180 dpi|300 dpi|360 dpi|600 dpi|720 dpi"},
      {"MirrorBox",
       "Mirror|The page mirrored left to right, for toner transfer of the solder side"},
      {"NegativeBox",
       "Negative|Black and white swapped around the artwork, for negative photo-resist"},
      {"RulerBox",
       "Scale ruler|A 50 mm bar below the artwork, to check the printer's scaling "
       "with a ruler"},
      {"FrameMarksBox",
       "Frame marks|Short marks at the frame's corners on every layer, for laying films in "
       "register and cutting the board to size"}};
  for (const auto& [name, expected] : controls) {
    QWidget* w = child<QWidget>(dialog, name);
    ASSERT_NE(w, nullptr);
    QStringList shown{w->property("text").toString()};
    if (auto* list = qobject_cast<QComboBox*>(w)) {
      EXPECT_FALSE(list->isEditable());
      shown.clear();
      for (int i = 0; i < list->count(); ++i) shown << list->itemText(i);
    }
    if (!w->toolTip().isEmpty()) shown << w->toolTip();
    EXPECT_EQ(shown.join('|'), expected) << name;
    if (!qobject_cast<QPushButton*>(w)) {  // a button's size hint is a style minimum
      EXPECT_GE(w->width(), w->sizeHint().width()) << name;
    }
  }
  QScrollBar* scale = child<QScrollBar>(dialog, "ScrollBar1");
  ASSERT_NE(scale, nullptr);
  EXPECT_EQ(scale->orientation(), Qt::Horizontal);
  EXPECT_EQ(
      (std::array{scale->minimum(), scale->maximum(), scale->singleStep(), scale->pageStep()}),
      (std::array{10, 250, 1, 10}));

  // Captions above their lists, "Scale:" and the percentage either side of the scroll bar, the
  // additions below the rest; nothing overlaps or sticks out of the dialog.
  auto at = [&dialog](const char* name) { return child<QWidget>(dialog, name)->geometry(); };
  EXPECT_LT(at("Label2").bottom(), at("ComboBox1").top());
  EXPECT_LT(at("Label3").bottom(), at("ComboBox2").top());
  EXPECT_LT(at("Label4").right(), at("ScrollBar1").left());
  EXPECT_LT(at("ScrollBar1").right(), at("Label1").left());
  EXPECT_EQ(at("Label4").center().y(), at("Label1").center().y());
  const QList<QWidget*> all = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* a : all) {
    const std::string name = a->objectName().toStdString();
    EXPECT_TRUE(dialog.rect().contains(a->geometry())) << name;
    for (QWidget* b : all) {
      if (a == b) continue;
      EXPECT_FALSE(a->geometry().intersects(b->geometry())) << name;
      if (qobject_cast<QCheckBox*>(a) && !qobject_cast<QCheckBox*>(b)) {
        EXPECT_GT(a->y(), b->geometry().bottom()) << name;
      }
    }
  }
}

TEST(PrintBoardDialogTest, EachShowTakesScaleAndResolutionAndStartsOnLayer1WithPrintFocused) {
  PrintBoardDialog dialog;
  QPushButton* print = child<QPushButton>(dialog, "Button1");
  QPushButton* cancel = child<QPushButton>(dialog, "Button2");
  ASSERT_TRUE(print && cancel);
  dialog.setPrintSettings({3, 9, 300, true, true, true, true});
  const std::pair<QPushButton*, const char*> rounds[] = {{nullptr, "layer 0, dpi item 4, 250%"},
                                                         {cancel, "layer 0, dpi item 4, 250%"},
                                                         {print, "layer 0, dpi item 3, 75%"}};
  for (const auto& [closeWith, shown] : rounds) {
    SCOPED_TRACE(shown);
    if (closeWith) {
      chooseEverything(dialog);
      closeWith->setFocus();  // a focused button is the default for the moment
      closeWith->click();
      ASSERT_FALSE(dialog.isVisible());
    }
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(describe(dialog.printSettings()), shown);
    EXPECT_EQ(labelText(dialog, "Label1"), QString::number(dialog.printSettings().scale) + "%");
    EXPECT_TRUE(print->isDefault());
    EXPECT_FALSE(cancel->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), print);
  }
}

TEST(PrintBoardDialogTest, TheLowestScaleAndResolutionAndThePercentageFollowingTheScrollBar) {
  PrintBoardDialog dialog;
  dialog.setPrintSettings({0, -1, 5, false, false, false});
  EXPECT_EQ(describe(dialog.printSettings()), "layer 0, dpi item 0, 10%");
  EXPECT_EQ(labelText(dialog, "Label1"), "10%");
  QScrollBar* scale = child<QScrollBar>(dialog, "ScrollBar1");
  ASSERT_NE(scale, nullptr);
  scale->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(labelText(dialog, "Label1"), "20%");
  scale->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(labelText(dialog, "Label1"), "250%");
}

TEST(PrintBoardDialogTest, PrintReturnsEveryFieldAndEveryOtherWayOutLeavesTheSettingsAlone) {
  whenModalShows([](QWidget& d) {
    chooseEverything(d);
    child<QCheckBox>(d, "NegativeBox")->setChecked(false);
    child<QPushButton>(d, "Button1")->click();
  });
  PrintSettings settings;
  EXPECT_TRUE(runPrintBoardDialog(nullptr, settings));
  EXPECT_EQ(describe(settings), "layer 2, dpi item 3, 75%, mirror, ruler, frame marks");

  const std::pair<const char*, std::function<void(QWidget&)>> closers[] = {
      {"Cancel", [](QWidget& d) { child<QPushButton>(d, "Button2")->click(); }},
      {"Escape", [](QWidget& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
      {"title bar", [](QWidget& d) { d.close(); }}};
  for (const auto& [how, close] : closers) {
    whenModalShows([close = close](QWidget& d) {
      chooseEverything(d);
      close(d);
    });
    settings = {1, 0, 40, false, true, false};
    EXPECT_FALSE(runPrintBoardDialog(nullptr, settings)) << how;
    EXPECT_EQ(describe(settings), "layer 1, dpi item 0, 40%, negative") << how;
  }

  // Through the host, centred over its window; Return prints what the dialog opened with.
  QWidget window;
  window.setGeometry(100, 100, 800, 600);
  window.show();
  QtHost host(&window);
  whenModalShows([&window](QWidget& d) {
    EXPECT_LE((d.geometry().center() - window.geometry().center()).manhattanLength(), 2);
    QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, Qt::Key_Return);
  });
  settings = {3, 2, 40, true, true, true, true};
  EXPECT_TRUE(host.askPrintSettings(settings));
  EXPECT_EQ(describe(settings), "layer 0, dpi item 2, 40%");
}

}  // namespace
}  // namespace fw
