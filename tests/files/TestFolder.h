#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fw {

// A fresh folder below the system's temporary folder, removed with everything in it.
class TestFolder {
 public:
  TestFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "ferrowrit-test-XXXXXX").string();
    if (mkdtemp(tmpl.data()) != nullptr) path_ = tmpl;
  }
  ~TestFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace fw
