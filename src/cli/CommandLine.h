#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace fw {

// The command lines of ferrowrit-cli's commands: options from a table, one positional FILE.

// One option of a command: its names ("-o", "--output"), whether a value follows it, and what
// takes the value.
struct CliOption {
  std::vector<std::string> names;
  bool takesValue = false;
  // Takes the value ("" for a flag). False refuses it: as `error` says, or, left empty, as
  // "bad value for NAME: 'VALUE'".
  std::function<bool(const std::string& value, std::string& error)> take;
};

// An option with a value, taken by `take`.
CliOption valueOption(std::vector<std::string> names,
                      std::function<bool(const std::string& value, std::string& error)> take);
// A flag that sets `target` to `value`.
CliOption flagOption(std::vector<std::string> names, bool& target, bool value = true);
// An option whose value is kept as it is given.
CliOption textOption(std::vector<std::string> names, std::string& target);

struct CommandLine {
  const char* usage = "";
  std::vector<CliOption> options;
  // What the positional argument is called in messages.
  std::string fileName = "FILE";
  // "--name=value" is taken as well as "--name value".
  bool inlineValues = false;
  // The last check, once every argument is taken and there is a FILE: a required option, say.
  std::function<bool(std::string& error)> finish;

  // Takes `args` in their order; false with a one-line reason on a usage error.
  bool parse(const std::vector<std::string>& args, std::string& file, std::string& error) const;
  // The help on `out` (exit status 0) or a usage error with the usage on `err` (2), as the
  // status the command returns at once; nothing when the command goes on.
  std::optional<int> read(const std::vector<std::string>& args, std::string& file,
                          std::ostream& out, std::ostream& err) const;

 private:
  const CliOption* find(const std::string& name) const;
};

// The reason and the usage on `err`; returns the usage error's exit status.
int usageError(const std::string& error, const char* usage, std::ostream& err);

// A whole decimal number from lo to hi, nothing before or after it.
bool parseInt(const std::string& text, int lo, int hi, int& value);

}  // namespace fw
