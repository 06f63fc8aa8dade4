// The recent files list of the File menu, and the folders an installed program uses. Settings
// go to the private folder TestMain sets up.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/ProgramFolders.h"
#include "app/RecentFiles.h"
#include "edit/Editor.h"
#include "files/ProjectFile.h"

namespace fw {
namespace {

QStringList numbered(int count) {
  QStringList list;
  for (int i = 0; i < count; ++i) list << QStringLiteral("/p/%1.kvd").arg(i);
  return list;
}

TEST(RecentFilesListTest, WithFrontKeepsEachFileOnceNewestFirstAndAtMostEight) {
  struct Case {
    const char* name;
    QStringList before;
    QString added;
    QStringList after;
  };
  const std::vector<Case> cases = {
      {"empty", {}, "/a.kvd", {"/a.kvd"}},
      {"new file", {"/a.kvd"}, "/b.kvd", {"/b.kvd", "/a.kvd"}},
      {"moves up", {"/a.kvd", "/b.kvd", "/c.kvd"}, "/c.kvd", {"/c.kvd", "/a.kvd", "/b.kvd"}},
      {"already first", {"/a.kvd", "/b.kvd"}, "/a.kvd", {"/a.kvd", "/b.kvd"}},
      {"ninth drops the oldest", numbered(8), "/n.kvd",
       QStringList{"/n.kvd"} + numbered(8).mid(0, 7)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RecentFiles::withFront(c.before, c.added), c.after);
  }
  EXPECT_EQ(RecentFiles::without({"/a.kvd", "/b.kvd"}, "/a.kvd"), QStringList{"/b.kvd"});
}

TEST(RecentFilesListTest, StoredListComesBackCutToEight) {
  RecentFiles::store(numbered(10));
  EXPECT_EQ(RecentFiles::load(), numbered(8));
  RecentFiles::store({});
  EXPECT_TRUE(RecentFiles::load().isEmpty());
}

// Clicks Ok on the next modal message box and keeps its text.
void answerNextError(QString* text) {
  auto poll = std::make_shared<std::function<void(int)>>();
  *poll = [text, poll](int tries) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      if (tries < 300) QTimer::singleShot(10, [poll, tries] { (*poll)(tries + 1); });
      return;
    }
    *text = box->text();
    box->button(QMessageBox::Ok)->click();
  };
  QTimer::singleShot(0, [poll] { (*poll)(0); });
}

class RecentFilesMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"one.kvd", "two.kvd"}) {
      std::unique_ptr<Board> b = makeBoard();
      b->addPin({100, 100, 3, 0});
      std::string error;
      ASSERT_TRUE(WriteProjectFile(path(name).toStdString(), *b, error)) << error;
    }
  }
  void TearDown() override { RecentFiles::store({}); }

  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  // The captions between the separator after Export Gerber and Exit, in order.
  QStringList recentCaptions(MainWindow& window) {
    auto* file = window.findChild<QMenu*>(QStringLiteral("File1"));
    EXPECT_NE(file, nullptr);
    QStringList captions;
    if (!file) return captions;
    const QList<QAction*> items = file->actions();
    int gerber = -1;
    int exit = -1;
    for (int i = 0; i < items.size(); ++i) {
      if (items[i]->objectName() == QStringLiteral("ExportGerber1")) gerber = i;
      if (items[i]->objectName() == QStringLiteral("Exit1")) exit = i;
    }
    EXPECT_GE(gerber, 0);
    EXPECT_GT(exit, gerber + 1);
    EXPECT_TRUE(items[gerber + 1]->isSeparator());
    EXPECT_TRUE(items[exit - 1]->isSeparator());
    for (int i = gerber + 2; i < exit - 1; ++i) captions << items[i]->text();
    return captions;
  }

  QTemporaryDir dir;
};

TEST_F(RecentFilesMenuTest, StoredFilesStandAboveExitNewestFirst) {
  RecentFiles::store({path("two.kvd"), path("one.kvd")});
  MainWindow window;
  EXPECT_EQ(recentCaptions(window), (QStringList{"&1 two.kvd", "&2 one.kvd"}));
  auto* first = window.findChild<QAction*>(QStringLiteral("Recent1"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->toolTip(), path("two.kvd"));
}

TEST_F(RecentFilesMenuTest, ChoosingAFileOpensItAndMovesItToTheFront) {
  RecentFiles::store({path("two.kvd"), path("one.kvd")});
  MainWindow window;
  window.findChild<QAction*>(QStringLiteral("Recent2"))->trigger();
  EXPECT_EQ(window.editor().board().CurrentFileName, path("one.kvd").toStdString());
  EXPECT_EQ(window.editor().board().PinCount, 1);
  EXPECT_EQ(RecentFiles::load(), (QStringList{path("one.kvd"), path("two.kvd")}));
  EXPECT_EQ(recentCaptions(window), (QStringList{"&1 one.kvd", "&2 two.kvd"}));
}

TEST_F(RecentFilesMenuTest, OpeningAtStartPutsTheFileOnTheList) {
  RecentFiles::store({path("two.kvd")});
  MainWindow window;
  window.openAtStart(path("one.kvd").toStdString());
  EXPECT_EQ(RecentFiles::load(), (QStringList{path("one.kvd"), path("two.kvd")}));
}

TEST_F(RecentFilesMenuTest, AFileThatNoLongerOpensLeavesTheListWithTheError) {
  RecentFiles::store({path("gone.kvd"), path("one.kvd")});
  MainWindow window;
  QString error;
  answerNextError(&error);
  window.findChild<QAction*>(QStringLiteral("Recent1"))->trigger();
  EXPECT_TRUE(error.startsWith(QStringLiteral("Error in file name. File not opened.")))
      << error.toStdString();
  EXPECT_TRUE(window.editor().board().CurrentFileName.empty());
  EXPECT_EQ(RecentFiles::load(), QStringList{path("one.kvd")});
  EXPECT_EQ(recentCaptions(window), QStringList{"&1 one.kvd"});
}

TEST(ProgramFoldersTest, BuildTreeKeepsItsFoldersAndAnInstalledProgramLooksInShare) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QDir r(root.path());
  ASSERT_TRUE(r.mkpath(QStringLiteral("build/bin/objects")));
  ASSERT_TRUE(r.mkpath(QStringLiteral("usr/bin")));
  ASSERT_TRUE(r.mkpath(QStringLiteral("usr/share/ferrowrit/objects")));
  ASSERT_TRUE(r.mkpath(QStringLiteral("bare/bin")));
  ASSERT_TRUE(QFile::setPermissions(r.filePath(QStringLiteral("usr/bin")),
                                    QFile::ReadOwner | QFile::ExeOwner));
  struct Case {
    const char* programDirectory;
    std::string objects;
    std::string projects;
  };
  const std::string docs = "/home/u/Documents";
  const std::vector<Case> cases = {
      {"build/bin", "", ""},
      {"usr/bin", r.filePath("usr/share/ferrowrit/objects").toStdString(), docs},
      {"bare/bin", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.programDirectory);
    const ProgramFolders f = programFolders(r.filePath(QString::fromLatin1(c.programDirectory)),
                                            QString::fromStdString(docs));
    EXPECT_EQ(f.objects, c.objects);
    // root may write anywhere: then the program's own folder stays the projects folder
    if (c.projects.empty() ||
        QFileInfo(r.filePath(QString::fromLatin1(c.programDirectory))).isWritable())
      EXPECT_TRUE(f.projects.empty());
    else
      EXPECT_EQ(f.projects, c.projects);
  }
  QFile::setPermissions(r.filePath(QStringLiteral("usr/bin")),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace
}  // namespace fw
