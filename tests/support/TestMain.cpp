// Test entry point. Programs that link QtWidgets get a QApplication, those that link QtGui a
// QGuiApplication (fonts and images need one); pure tests get neither.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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
  // Settings (the recent files list) go to a private folder, never the user's.
  std::string config = (std::filesystem::temp_directory_path() / "fw-config-XXXXXX").string();
  if (mkdtemp(config.data()) == nullptr) return 1;
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  int result = 0;
  {
    TestApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  std::error_code ignored;
  std::filesystem::remove_all(config, ignored);
  return result;
#else
  return RUN_ALL_TESTS();
#endif
}
