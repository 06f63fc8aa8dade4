// The Library panel in the real main window, on a library folder of the test's own: listing,
// filtering, the chosen object's picture and details, placing by double-click, and a damaged
// file refused with Load Object's error.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/MainWindow.h"
#include "edit/Editor.h"
#include "files/ObjectFile.h"
#include "files/TestFolder.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

// A row of `pins` pads 4 board units apart with a graphic outline around them.
void writeObject(const fs::path& path, int pins, const char* description) {
  ObjectData o;
  for (int i = 0; i < pins; ++i) o.pins.push_back(Pin{uint16_t(100 + 4 * i), 100, 3, 0});
  const uint8_t graphic = 2 * 16 + 1;
  o.points = {{uint16_t(96 | WireStartFlag), uint16_t(96 | WireStartFlag), kWireStartAttr},
              {uint16_t(104 + 4 * pins), 96, graphic}};
  o.description.set(description);
  std::string error;
  ASSERT_TRUE(WriteObjectFile(path.string(), o, error)) << error;
}

QString currentName(const QTreeView* list) {
  return list->currentIndex().siblingAtColumn(0).data().toString();
}

std::unique_ptr<MainWindow> openWindow(const std::string& library) {
  auto window = std::make_unique<MainWindow>();
  window->editor().ObjectsFolder = library;
  window->resize(1000, 700);
  window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  return window;
}

TEST(LibraryPanelTest, ListsFiltersShowsAndPlacesTheLibrarysObjects) {
  QSettings(QStringLiteral("Ferrowrit"), QStringLiteral("Ferrowrit")).clear();
  TestFolder folder;
  const fs::path root(folder.path());
  fs::create_directory(root / "sub");
  writeObject(root / "sub" / "dil8.kvo", 8, "DIL8 0.3in");
  writeObject(root / "sub" / "to92.kvo", 3, "TO-92 transistor");
  writeObject(root / "resistor.kvo", 2, "Axial 0.4in");
  std::ofstream(root / "sub" / "broken.kvo") << "KV";  // ends in the middle of its first count

  auto window = openWindow(folder.path());
  auto* panel = window->findChild<QDockWidget*>(QStringLiteral("LibraryPanel"));
  auto* item = window->findChild<QAction*>(QStringLiteral("Library1"));
  auto* filter = window->findChild<QLineEdit*>(QStringLiteral("LibraryFilter"));
  auto* list = window->findChild<QTreeView*>(QStringLiteral("LibraryList"));
  auto* description = window->findChild<QLabel*>(QStringLiteral("LibraryDescription"));
  auto* pins = window->findChild<QLabel*>(QStringLiteral("LibraryPinCount"));
  auto* preview = window->findChild<QLabel*>(QStringLiteral("LibraryPreview"));
  ASSERT_TRUE(panel && item && filter && list && description && pins && preview);
  EXPECT_FALSE(panel->isVisible());  // hidden at first start
  EXPECT_FALSE(item->isChecked());

  item->trigger();
  QApplication::processEvents();
  ASSERT_TRUE(panel->isVisible());
  const auto rows = [&] { return list->model()->rowCount(); };
  const auto rowNamed = [&](const QString& name) {
    for (int r = 0; r < rows(); ++r)
      if (list->model()->index(r, 0).data().toString() == name) return list->model()->index(r, 0);
    return QModelIndex();
  };
  EXPECT_EQ(rows(), 4);
  filter->setText(QStringLiteral("TO9"));
  EXPECT_EQ(rows(), 1);
  filter->clear();

  // Chosen: picture with white pads, description and pin count.
  const QModelIndex dil = rowNamed(QStringLiteral("sub/dil8"));
  ASSERT_TRUE(dil.isValid());
  list->setCurrentIndex(dil);
  EXPECT_EQ(description->text(), QStringLiteral("DIL8 0.3in"));
  EXPECT_EQ(pins->text(), QStringLiteral("8 pins"));
  const QImage picture = preview->pixmap().toImage();
  int padPixels = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      padPixels += picture.pixel(x, y) == qRgb(255, 255, 255);
  EXPECT_GT(padPixels, 8 * 20);
  // Descriptions are searched as well, also of a file whose row was never shown.
  writeObject(root / "sub" / "relay.kvo", 4, "Reed relay 0.3in");
  panel->findChild<QToolButton*>(QStringLiteral("LibraryRefresh"))->click();
  filter->setText(QStringLiteral("0.3IN"));
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(list->model()->index(1, 0).data().toString(), QStringLiteral("sub/relay"));
  // A file removed from the library, or saved into it, goes or comes by itself; the chosen row
  // stays chosen.
  filter->clear();
  list->setCurrentIndex(rowNamed(QStringLiteral("sub/dil8")));
  fs::remove(root / "sub" / "relay.kvo");
  ASSERT_TRUE(QTest::qWaitFor([&] { return rows() == 4; }, 5000)) << rows();
  EXPECT_EQ(currentName(list), QStringLiteral("sub/dil8"));
  filter->setText(QStringLiteral("0.3IN"));

  // A double-click starts placing it.
  const auto doubleClick = [&](const QModelIndex& index) {
    list->scrollTo(index);
    // As the window system delivers it: a click, then the second press as a double-click.
    const QPoint at = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
  };
  doubleClick(list->model()->index(0, 0));
  Editor& editor = window->editor();
  EXPECT_TRUE(editor.state().Placing);
  EXPECT_EQ(editor.controls().tool, Tool::EditObject);
  EXPECT_EQ(editor.state().FloatPinCount, 8);
  const std::string placing = editor.state().ObjectFileName;

  // A damaged file: Load Object's error, and the placement goes on as it was.
  filter->clear();
  QString error;
  QTimer::singleShot(50, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      error = box->text();
      box->accept();
    }
  });
  doubleClick(rowNamed(QStringLiteral("sub/broken")));
  EXPECT_TRUE(error.startsWith(QStringLiteral("Error in file name. Object not opened.")))
      << error.toStdString();
  EXPECT_TRUE(editor.state().Placing);
  EXPECT_EQ(editor.state().FloatPinCount, 8);
  EXPECT_EQ(editor.state().ObjectFileName, placing);
  EXPECT_EQ(editor.board().PinCount, 0);

  // A file changed on disk is read again; its description is Latin-1, as the files hold it.
  writeObject(root / "sub" / "dil8.kvo", 8, "DIL8 narrow \xB5");
  fs::last_write_time(root / "sub" / "dil8.kvo",
                      fs::file_time_type::clock::now() + std::chrono::seconds(5));
  list->setCurrentIndex(rowNamed(QStringLiteral("resistor")));
  list->setCurrentIndex(rowNamed(QStringLiteral("sub/dil8")));
  EXPECT_EQ(description->text(), QStringLiteral("DIL8 narrow \u00B5"));

  // The panel is shown again at the next start, and stays hidden once closed.
  window.reset();
  window = openWindow(folder.path());
  panel = window->findChild<QDockWidget*>(QStringLiteral("LibraryPanel"));
  EXPECT_TRUE(panel->isVisible());
  window->findChild<QAction*>(QStringLiteral("Library1"))->trigger();
  window.reset();
  window = openWindow(folder.path());
  EXPECT_FALSE(window->findChild<QDockWidget*>(QStringLiteral("LibraryPanel"))->isVisible());
}

}  // namespace
}  // namespace fw
