#include "view/feedback.h"

namespace brimoss {

namespace {

std::string count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string counts_text(const Store& s) {
  return count(s.NOV, "vertex", "vertices") + ", " + count(s.NOE, "edge", "edges") + ", " +
         count(s.NOS, "face", "faces");
}

bool Feedback::set(const std::string& t) {
  if (t == text_) return false;
  text_ = t;
  return true;
}

void Feedback::remember(const Store& s) {
  nov_ = s.NOV;
  noe_ = s.NOE;
  nos_ = s.NOS;
}

void Feedback::set_enabled(const Store& s, bool on) {
  on_ = on;
  remember(s);
  set(on ? counts_text(s) : std::string());
}

bool Feedback::report(const Store& s, const std::string& why) {
  // Without the counts a refusal is not shown; a command carried out ends a
  // message.
  if (!on_) return why.empty() && set(std::string());
  remember(s);
  return set(why.empty() ? counts_text(s) : why);
}

bool Feedback::poll(const Store& s) {
  if (s.NOV == nov_ && s.NOE == noe_ && s.NOS == nos_) return false;
  remember(s);
  return set(on_ ? counts_text(s) : std::string());
}

bool Feedback::say(const Store& s, const std::string& text) {
  remember(s);
  return set(text);
}

}  // namespace brimoss
