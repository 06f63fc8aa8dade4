// The Export Gerber dialog through the real Qt host, driven offscreen as a user would: what it
// shows, what comes back, the holes it refuses, what it remembers for the next opening, and the
// board staying in sight behind it and behind Print's PDF file dialog. Settings go to the
// private folder TestMain sets up.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/BoardView.h"
#include "app/MainWindow.h"
#include "app/QtHost.h"
#include "dialogs/GerberExportDialog.h"
#include "edit/Editor.h"

namespace fw {
namespace {

template <typename T>
T* child(QWidget* parent, const char* name) {
  T* w = parent->findChild<T*>(name);
  EXPECT_NE(w, nullptr) << "no " << name;
  return w;
}

// Runs `act` on the modal window as soon as it shows, once; records whether it ever did.
class ModalDriver {
 public:
  explicit ModalDriver(std::function<void(QWidget*)> act)
      : state_(std::make_shared<State>(State{std::move(act), false, 0})) {
    poll(state_);
  }
  bool ran() const { return state_->ran; }

 private:
  struct State {
    std::function<void(QWidget*)> act;
    bool ran;
    int tries;
  };
  static void poll(std::shared_ptr<State> s) {
    QTimer::singleShot(10, [s] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) {
        if (++s->tries < 200) poll(s);
        return;
      }
      s->ran = true;
      s->act(modal);
    });
  }
  std::shared_ptr<State> state_;
};

void forgetRememberedChoice() {
  QSettings s(QStringLiteral("Ferrowrit"), QStringLiteral("Ferrowrit"));
  s.remove(QStringLiteral("gerberExport"));
  s.sync();
}

double shownHole(QTableWidget* table, int row) {
  return table->item(row, 1)->data(Qt::EditRole).toDouble();
}

TEST(GerberExportRingTest, AHoleMustLeaveAtLeastPointFifteenMillimetresOfCopper) {
  struct Case {
    int row;
    int holeUm;
    bool refused;
  };
  // Pads of 1.27, 2.54, 9.81 (139/360 inch) and 13.55 mm (192/360 inch): a ring of exactly
  // 0.15 mm passes, 5 micrometres less does not.
  const Case cases[] = {{0, 970, false},   {0, 980, true},   {3, 2240, false},   {3, 2250, true},
                        {10, 9500, false}, {10, 9510, true}, {11, 13240, false}, {11, 13250, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    FabOptions options;
    options.holeUm[std::size_t(c.row)] = c.holeUm;
    EXPECT_EQ(firstThinRingRow(options), c.refused ? c.row : -1) << c.holeUm;
  }
  EXPECT_EQ(firstThinRingRow(FabOptions()), -1);
}

TEST(GerberExportDialogTest, ShowsTheDefaultsReturnsTheEditedChoiceAndRemembersIt) {
  forgetRememberedChoice();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QWidget parent;
  GerberExportChoice choice;
  choice.folder = "/somewhere/projects";
  const FabOptions defaults;
  {
    QtHost host(&parent);
    ModalDriver driver([&](QWidget* w) {
      ASSERT_NE(qobject_cast<GerberExportDialog*>(w), nullptr);
      EXPECT_EQ(w->windowTitle(), QStringLiteral("Export Gerber"));
      auto* table = child<QTableWidget>(w, "HoleTable");
      auto* folder = child<QLineEdit>(w, "FolderEdit");
      auto* mask = child<QDoubleSpinBox>(w, "MaskExpansion");
      auto* protel = child<QCheckBox>(w, "ProtelBox");
      auto* zip = child<QCheckBox>(w, "ZipBox");
      ASSERT_TRUE(table && folder && mask && protel && zip);
      ASSERT_EQ(table->rowCount(), 12);
      const char* const pads[12] = {"1.27 mm", "1.70 mm", "1.90 mm", "2.54 mm",
                                    "2.90 mm", "3.17 mm", "3.96 mm", "5.08 mm",
                                    "6.35 mm", "7.62 mm", "9.81 mm", "13.55 mm"};
      for (int row = 0; row < 12; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(table->item(row, 0)->text(), QString::fromLatin1(pads[row]));
        EXPECT_FALSE(table->item(row, 0)->flags() & Qt::ItemIsEditable);
        EXPECT_TRUE(table->item(row, 1)->flags() & Qt::ItemIsEditable);
        EXPECT_DOUBLE_EQ(shownHole(table, row), defaults.holeUm[std::size_t(row)] / 1000.0);
      }
      EXPECT_EQ(folder->text(), QStringLiteral("/somewhere/projects"));
      EXPECT_DOUBLE_EQ(mask->value(), 0.05);
      EXPECT_DOUBLE_EQ(mask->maximum(), 1.0);
      EXPECT_DOUBLE_EQ(mask->singleStep(), 0.01);
      EXPECT_FALSE(protel->isChecked());
      EXPECT_FALSE(zip->isChecked());

      table->item(3, 1)->setData(Qt::EditRole, 1.1);
      mask->setValue(0.1);
      protel->click();
      zip->click();
      folder->setText(dir.path());
      child<QPushButton>(w, "ExportButton")->click();
    });
    ASSERT_TRUE(host.askGerberExport(choice));
    EXPECT_TRUE(driver.ran());
  }
  EXPECT_EQ(QString::fromStdString(choice.folder), dir.path());
  FabOptions expected;
  expected.holeUm[3] = 1100;
  EXPECT_EQ(choice.options.holeUm, expected.holeUm);
  EXPECT_EQ(choice.options.maskExpansionUm, 100);
  EXPECT_TRUE(choice.options.protel);
  EXPECT_TRUE(choice.options.zip);

  // A later run (a host of its own) opens with that choice, though asked with the defaults;
  // Cancel leaves the caller's choice alone.
  QtHost later(&parent);
  GerberExportChoice again;
  again.folder = "/somewhere/projects";
  ModalDriver driver([&](QWidget* w) {
    auto* table = child<QTableWidget>(w, "HoleTable");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(child<QLineEdit>(w, "FolderEdit")->text(), dir.path());
    EXPECT_DOUBLE_EQ(shownHole(table, 3), 1.1);
    EXPECT_DOUBLE_EQ(shownHole(table, 4), defaults.holeUm[4] / 1000.0);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(w, "MaskExpansion")->value(), 0.1);
    EXPECT_TRUE(child<QCheckBox>(w, "ProtelBox")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(w, "ZipBox")->isChecked());
    child<QPushButton>(w, "CancelButton")->click();
  });
  EXPECT_FALSE(later.askGerberExport(again));
  EXPECT_TRUE(driver.ran());
  EXPECT_EQ(again.folder, "/somewhere/projects");
  EXPECT_EQ(again.options.holeUm, defaults.holeUm);
  forgetRememberedChoice();
}

TEST(GerberExportDialogTest, AHoleTooLargeForItsPadIsRefusedNamingThePadSize) {
  forgetRememberedChoice();
  QWidget parent;
  QtHost host(&parent);
  GerberExportChoice choice;
  choice.folder = "/somewhere/projects";
  auto warning = std::make_shared<QString>();
  ModalDriver driver([&, warning](QWidget* w) {
    auto* table = child<QTableWidget>(w, "HoleTable");
    auto* exportButton = child<QPushButton>(w, "ExportButton");
    ASSERT_TRUE(table && exportButton);
    // 1.45 mm in a 1.70 mm pad leaves 0.12 mm of copper.
    table->item(1, 1)->setData(Qt::EditRole, 1.45);
    QTimer::singleShot(0, [warning] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        *warning = box->text();
        box->accept();
      }
    });
    exportButton->click();
    EXPECT_TRUE(w->isVisible()) << "the dialog closed with the hole";
    // Made smaller, the hole passes.
    table->item(1, 1)->setData(Qt::EditRole, 1.3);
    exportButton->click();
  });
  EXPECT_TRUE(host.askGerberExport(choice));
  EXPECT_TRUE(driver.ran());
  EXPECT_TRUE(warning->contains(QStringLiteral("1.70 mm"))) << warning->toStdString();
  EXPECT_EQ(choice.options.holeUm[1], 1300);
  forgetRememberedChoice();
}

// What the drawing area shows stays the board while the dialogs are up: nothing redraws it
// blank, and the file dialogs are Qt's own at a moderate size instead of the desktop's, which
// covers the whole window.
TEST(GerberExportDialogTest, TheBoardStaysInSightBehindTheDialogsOfExportAndPrint) {
  forgetRememberedChoice();
  MainWindow window;
  window.resize(1000, 700);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  Pin pin;  // Print has something to print
  pin.x = 200;
  pin.y = 200;
  ASSERT_TRUE(window.editor().board().addPin(pin));
  window.editor().RedrawBoard();
  QApplication::processEvents();
  const QImage board = window.boardView()->grab().toImage();
  const auto stillShown = [&] { return window.boardView()->grab().toImage() == board; };
  const auto checkFileDialog = [&](QWidget* w) {
    auto* files = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(files, nullptr);
    EXPECT_TRUE(files->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_LT(files->width(), window.width());
    EXPECT_LT(files->height(), window.height());
    EXPECT_TRUE(stillShown());
    files->reject();
  };

  bool browsed = false;
  ModalDriver exportDriver([&](QWidget* w) {
    EXPECT_LT(w->height(), window.height());
    EXPECT_TRUE(stillShown());
    ModalDriver folderDriver([&](QWidget* folders) {
      browsed = true;
      checkFileDialog(folders);
    });
    child<QPushButton>(w, "BrowseButton")->click();
    child<QPushButton>(w, "CancelButton")->click();
  });
  window.findChild<QAction*>(QStringLiteral("ExportGerber1"))->trigger();
  EXPECT_TRUE(exportDriver.ran());
  EXPECT_TRUE(browsed);

  if (!QPrinterInfo::availablePrinters().isEmpty()) return;  // Print asks for no PDF file
  bool askedForPdf = false;
  ModalDriver printDriver([&](QWidget* w) {
    ModalDriver pdfDriver([&](QWidget* pdf) {
      askedForPdf = true;
      checkFileDialog(pdf);
    });
    child<QPushButton>(w, "Button1")->click();  // Print
  });
  window.editor().board().CurrentFileName.clear();
  window.findChild<QAction*>(QStringLiteral("Print1"))->trigger();
  EXPECT_TRUE(printDriver.ran());
  EXPECT_TRUE(askedForPdf);
  EXPECT_TRUE(stillShown());
}

}  // namespace
}  // namespace fw
