// Test entry point. Programs that link QtWidgets get a QApplication, those that link QtGui a
// QGuiApplication (fonts and images need one); pure tests get neither.
#include <gtest/gtest.h>

#include <cstdlib>

#if __has_include(<QApplication>)
#include <QApplication>
using TestApplication = QApplication;
#define FW_TEST_APP 1
#elif __has_include(<QGuiApplication>)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#define FW_TEST_APP 1
#endif

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
#ifdef FW_TEST_APP
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TestApplication app(argc, argv);
#endif
  return RUN_ALL_TESTS();
}
