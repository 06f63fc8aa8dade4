#include "cli/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "cli/Cli.h"
#include "cli/CliCommon.h"

namespace fw {

CliOption valueOption(std::vector<std::string> names,
                      std::function<bool(const std::string& value, std::string& error)> take) {
  return {std::move(names), true, std::move(take)};
}

CliOption flagOption(std::vector<std::string> names, bool& target, bool value) {
  return {std::move(names), false, [&target, value](const std::string&, std::string&) {
            target = value;
            return true;
          }};
}

CliOption textOption(std::vector<std::string> names, std::string& target) {
  return {std::move(names), true, [&target](const std::string& value, std::string&) {
            target = value;
            return true;
          }};
}

const CliOption* CommandLine::find(const std::string& name) const {
  for (const CliOption& option : options)
    if (std::find(option.names.begin(), option.names.end(), name) != option.names.end())
      return &option;
  return nullptr;
}

bool CommandLine::parse(const std::vector<std::string>& args, std::string& file,
                        std::string& error) const {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    const std::size_t eq = name.find('=');
    if (inlineValues && name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if (!isOption(name)) {
      if (!file.empty()) {
        error = "only one " + fileName + " is taken";
        return false;
      }
      file = name;
      continue;
    }
    const CliOption* option = find(name);
    if (option == nullptr) {
      error = "unknown option " + name;
      return false;
    }
    if (!option->takesValue && value) {
      error = name + " takes no value";
      return false;
    }
    if (option->takesValue && !value) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
    }
    const std::string given = value.value_or("");
    if (!option->take(given, error)) {
      if (error.empty()) error = "bad value for " + name + ": '" + given + "'";
      return false;
    }
  }
  if (file.empty()) {
    error = fileName + " is missing";
    return false;
  }
  return !finish || finish(error);
}

std::optional<int> CommandLine::read(const std::vector<std::string>& args, std::string& file,
                                     std::ostream& out, std::ostream& err) const {
  if (wantsHelp(args)) {
    out << usage;
    return kExitOk;
  }
  std::string error;
  if (parse(args, file, error)) return std::nullopt;
  return usageError(error, usage, err);
}

int usageError(const std::string& error, const char* usage, std::ostream& err) {
  err << "ferrowrit-cli: " << error << "\n" << usage;
  return kExitUsage;
}

bool parseInt(const std::string& text, int lo, int hi, int& value) {
  int n = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, n);
  if (ec != std::errc() || ptr != end || n < lo || n > hi) return false;
  value = n;
  return true;
}

}  // namespace fw
