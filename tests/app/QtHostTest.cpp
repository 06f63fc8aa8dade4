// The Qt answers to the editor's questions (message boxes, file dialogs, pop-up menus) and the
// About box, driven as a user would: a timer acts on the modal window once it is up.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <functional>
#include <memory>

#include "app/MainWindow.h"
#include "app/QtHost.h"
#include "dialogs/AboutBox.h"
#include "edit/Editor.h"

namespace fw {

// Records the addresses the About box asks the system to open.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened << url; }
};

namespace {

// Runs `act` on the modal window as soon as it shows; records whether it ever did.
class ModalDriver {
 public:
  explicit ModalDriver(std::function<void(QWidget*)> act) : act_(std::move(act)) {
    QTimer::singleShot(0, [this] { poll(); });
  }
  bool ran() const { return ran_; }

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
      if (++tries_ < 200) QTimer::singleShot(10, [this] { poll(); });
      return;
    }
    ran_ = true;
    act_(modal);
  }
  std::function<void(QWidget*)> act_;
  bool ran_ = false;
  int tries_ = 0;
};

TEST(QtHostTest, ErrorsShowTheErrorSymbolAndOk) {
  QWidget parent;
  QtHost host(&parent);
  QString text;
  ModalDriver driver([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  host.showError("Cannot read board.kvd");
  EXPECT_TRUE(driver.ran());
  EXPECT_EQ(text, QStringLiteral("Cannot read board.kvd"));
}

TEST(QtHostTest, QuestionsShowTheWarningSymbolAndAnswerYesOrNo) {
  QWidget parent;
  QtHost host(&parent);
  for (auto answer : {QMessageBox::Yes, QMessageBox::No}) {
    ModalDriver driver([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->icon(), QMessageBox::Warning);
      EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
      box->button(answer)->click();
    });
    EXPECT_EQ(host.askYesNo("Save changes?"), answer == QMessageBox::Yes);
    EXPECT_TRUE(driver.ran());
  }
  // Escape counts as No.
  ModalDriver escape([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_FALSE(host.askYesNo("Save changes?"));
}

// The input box answers in UTF-8, as every string of the host; the editor stores Latin-1.
TEST(QtHostTest, TheInputBoxAnswersInUtf8) {
  QWidget parent;
  QtHost host(&parent);
  ModalDriver driver([](QWidget* w) {
    auto* field = w->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    field->setText(QStringLiteral("10\u00B5F"));
    QTest::keyClick(field, Qt::Key_Return);
  });
  std::string answer;
  ASSERT_TRUE(host.askText("Object Description", "Enter Object Description", answer));
  EXPECT_TRUE(driver.ran());
  EXPECT_EQ(answer,
            "10\xC2\xB5"
            "F");
}

TEST(QtHostTest, FiltersInPairsBecomeQtFilters) {
  EXPECT_EQ(QtHost::qtFilter("Project files (*.kvd)"), QStringLiteral("Project files (*.kvd)"));
  EXPECT_EQ(QtHost::qtFilter("Kestroval Objects (*.kvo)|*.kvo"),
            QStringLiteral("Kestroval Objects (*.kvo)"));
  // A description with a parenthesis of its own still filters by its pattern.
  EXPECT_EQ(QtHost::qtFilter("Kestroval (kvd)|*.kvd"), QStringLiteral("Kestroval (kvd) (*.kvd)"));
  EXPECT_EQ(QtHost::qtFilter("Boards|*.kvd|All|*.*"), QStringLiteral("Boards (*.kvd);;All (*.*)"));
  EXPECT_EQ(QtHost::qtFilter("Pictures|*.png;*.bmp"), QStringLiteral("Pictures (*.png *.bmp)"));
  EXPECT_EQ(QtHost::qtFilter("odd|"), QStringLiteral("odd ()"));
  EXPECT_TRUE(QtHost::qtFilter("").isEmpty());
}

TEST(QtHostTest, SaveDialogUsesFilterSuffixFolderAndAsksBeforeOverwriting) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QWidget parent;
  QtHost host(&parent);
  FileDialogRequest request{"Save Project", "Project files (*.kvd)|*.kvd", "kvd",
                            dir.path().toStdString(), ""};
  ModalDriver driver([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Save Project"));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Project files (*.kvd)"});
    EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("kvd"));
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    dialog->selectFile(QStringLiteral("board"));
    static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept checks the name
  });
  const std::string chosen = host.chooseSaveFile(request);
  EXPECT_TRUE(driver.ran());
  EXPECT_EQ(QString::fromStdString(chosen), QDir(dir.path()).filePath(QStringLiteral("board.kvd")));
}

TEST(QtHostTest, CancelledOpenDialogAnswersEmpty) {
  QWidget parent;
  QtHost host(&parent);
  ModalDriver driver([](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    dialog->reject();
  });
  EXPECT_TRUE(
      host.chooseOpenFile({"Open Project", "Project files (*.kvd)", "kvd", "", ""}).empty());
  EXPECT_TRUE(driver.ran());
}

// Print Setup offers the board's PDF, as Print does, instead of Qt's print.pdf in the home
// folder; once a file is chosen there, Print writes it, and Print Setup shows it again.
TEST(QtHostTest, PrintSetupOffersTheBoardsPdfAndPrintWritesTheChosenOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QWidget parent;
  QtHost host(&parent);
  const QString first = dir.filePath(QStringLiteral("amp-layer1.pdf"));
  for (const QString& suggested : {first, dir.filePath(QStringLiteral("other-layer1.pdf"))}) {
    QString offered;
    ModalDriver driver([&](QWidget* w) {
      auto* dialog = qobject_cast<QPrintDialog*>(w);
      ASSERT_NE(dialog, nullptr);
      auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
      auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
      ASSERT_TRUE(field && printers);
      offered = field->text();
      printers->setCurrentIndex(printers->count() - 1);  // "Print to File (PDF)"
      dialog->accept();
    });
    host.showPrintSetup(suggested.toStdString());
    EXPECT_TRUE(driver.ran());
    EXPECT_EQ(offered.toStdString(), first.toStdString());
  }

  auto board = makeBoard();
  board->addPin({100, 100, 3, 0});
  std::string error;
  EXPECT_TRUE(host.printBoard(*board, PrintSettings{}, 2, "/nowhere/board-layer1.pdf", error))
      << error;
  QFile pdf(first);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.read(5) == "%PDF-");
  pdf.close();

  // A board wider than the page is printed only when the user wants the part that fits.
  ASSERT_TRUE(pdf.remove());
  board->addPin({500, 100, 3, 0});  // 254 mm to the right of the first
  QString question;
  ModalDriver no([&](QWidget* w) {
    question = qobject_cast<QMessageBox*>(w)->text();
    qobject_cast<QMessageBox*>(w)->button(QMessageBox::No)->click();
  });
  EXPECT_FALSE(host.printBoard(*board, PrintSettings{}, 2, "/nowhere/board-layer1.pdf", error));
  EXPECT_EQ(error, "") << "a choice, not a failure";
  EXPECT_TRUE(question.contains(QStringLiteral("past the right edge"))) << question.toStdString();
  EXPECT_FALSE(QFile::exists(first));
}

TEST(QtHostTest, MenuButtonsPopTheirMenusRightAlignedBelowTheButton) {
  MainWindow window;
  window.resize(900, 600);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  struct Case {
    const char* button;
    const char* menu;
    void (QtHost::*show)();
  };
  for (const Case& c : {Case{"BitBtn10", "PopupMenu2", &QtHost::showDotMethodsMenu},
                        Case{"BitBtn8", "PopupMenu1", &QtHost::showLineMethodsMenu}}) {
    SCOPED_TRACE(c.menu);
    auto* button = window.findChild<QToolButton*>(c.button);
    auto* menu = window.findChild<QMenu*>(c.menu);
    ASSERT_TRUE(button && menu);
    (window.host().*c.show)();
    ASSERT_TRUE(menu->isVisible());
    const QPoint corner = button->mapToGlobal(QPoint(button->width(), button->height()));
    EXPECT_NEAR(menu->geometry().right() + 1, corner.x(), 2);
    EXPECT_NEAR(menu->geometry().top(), corner.y(), 2);
    menu->close();
  }
}

TEST(QtHostTest, DotMethodsItemsCallTheEditor) {
  MainWindow window;
  auto* outl = window.findChild<QAction*>("outl");
  ASSERT_NE(outl, nullptr);
  outl->trigger();
  // The pin tool decides what the item does; the window mirrors whatever it decided.
  EXPECT_EQ(outl->isChecked(), window.editor().controls().graphicPin);
}

TEST(AboutBoxTest, ShowsNameVersionPictureAuthorAndLinks) {
  AboutBox box;
  EXPECT_EQ(box.objectName(), QStringLiteral("TAboutBox"));
  EXPECT_EQ(box.windowTitle(), QStringLiteral("About Ferrowrit"));
  auto* product = box.findChild<QLabel*>("ProductName");
  ASSERT_NE(product, nullptr);
  EXPECT_EQ(product->text(), QStringLiteral("Ferrowrit  v5.0"));
  EXPECT_TRUE(product->font().bold());
  auto* picture = box.findChild<QLabel*>("ProgramIcon");
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->pixmap().isNull());
  auto* author = box.findChild<QLabel*>("Copyright");
  ASSERT_NE(author, nullptr);
  EXPECT_FALSE(author->text().isEmpty());
  auto* close = box.findChild<QPushButton*>("OKButton");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), QStringLiteral("&Close"));
  EXPECT_TRUE(close->isDefault());

  for (const char* name : {"EmailLabel", "WebLabel"}) {
    auto* link = box.findChild<QLabel*>(name);
    ASSERT_NE(link, nullptr) << name;
    EXPECT_TRUE(link->font().underline()) << name;
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue)) << name;
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor) << name;
  }
}

TEST(AboutBoxTest, ClickingTheLinksOpensMailAndWebAddresses) {
  AboutBox box;
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  UrlRecorder recorder;
  QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &recorder, "open");
  QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
  auto* email = box.findChild<QLabel*>("EmailLabel");
  auto* web = box.findChild<QLabel*>("WebLabel");
  QTest::mouseClick(email, Qt::LeftButton);
  QTest::mouseClick(web, Qt::LeftButton);
  QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
  QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  ASSERT_EQ(recorder.opened.size(), 2);
  EXPECT_EQ(recorder.opened[0], QUrl(QStringLiteral("mailto:") + email->text()));
  EXPECT_EQ(recorder.opened[1], QUrl(web->text()));
  EXPECT_EQ(recorder.opened[1].scheme(), QStringLiteral("https"));
}

TEST(AboutBoxTest, AboutItemShowsTheBoxModallyAndCloseEndsIt) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QString title;
  ModalDriver driver([&](QWidget* w) {
    title = w->windowTitle();
    EXPECT_EQ(w->objectName(), QStringLiteral("TAboutBox"));
    auto* close = w->findChild<QPushButton*>("OKButton");
    ASSERT_NE(close, nullptr);
    close->click();
  });
  auto* about = window.findChild<QAction*>("About1");
  ASSERT_NE(about, nullptr);
  about->trigger();
  EXPECT_TRUE(driver.ran());
  EXPECT_EQ(title, QStringLiteral("About Ferrowrit"));
}

}  // namespace
}  // namespace fw

#include "QtHostTest.moc"
