#include "cli/cli.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <ostream>
#include <sstream>

namespace brimoss::cli {

void list_commands(std::ostream& o) {
  const std::string* group = nullptr;
  for (const Command& c : commands()) {
    if (!group || *group != c.group) {
      group = &c.group;
      o << "\n" << c.group << ":\n";
    }
    std::string head = "  " + c.name + (c.args.empty() ? "" : " " + c.args);
    if (head.size() < 26) head.resize(26, ' ');
    o << head << " " << c.help << "\n";
  }
}

int int_arg(const Args& a, std::size_t i) {
  const std::string& t = a.at(i);
  int v = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size())
    throw UsageError{"'" + t + "' is not a whole number"};
  return v;
}

double double_arg(const Args& a, std::size_t i) {
  const std::string& t = a.at(i);
  double v = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v))
    throw UsageError{"'" + t + "' is not a number"};
  return v;
}

int run_script(Store& s, std::istream& in, std::ostream& out, std::ostream& err) {
  Context ctx{s, 0, out, err};
  std::string text;
  while (std::getline(in, text)) {
    ++ctx.line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const auto hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    std::istringstream words(text);
    std::string name;
    if (!(words >> name)) continue;
    Args args;
    for (std::string w; words >> w;) args.push_back(w);

    const Command* cmd = nullptr;
    for (const Command& c : commands())
      if (c.name == name) cmd = &c;
    try {
      if (!cmd) throw UsageError{"unknown command '" + name + "' (see --help)"};
      const int n = static_cast<int>(args.size());
      if (n < cmd->min_args)
        throw UsageError{name + ": missing argument: " + name + " " + cmd->args};
      if (n > cmd->max_args)
        throw UsageError{name + ": too many arguments: " + name + " " + cmd->args};
      cmd->run(ctx, args);
    } catch (const UsageError& e) {
      err << "line " << ctx.line << ": " << e.message << "\n";
      return 2;
    }
  }
  return ctx.status;
}

}  // namespace brimoss::cli
