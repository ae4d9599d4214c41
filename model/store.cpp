#include "model/store.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace brimoss {

double phi_a() {
  static const double v = std::sin(mypi / 180 * 54);
  return v;
}

double phi_b() {
  static const double v = std::sin(mypi / 180 * 63);
  return v;
}

double phi_split() {
  static const double v = std::sin(mypi / 180 * 60);
  return v;
}

std::unique_ptr<Store> make_store() { return std::make_unique<Store>(); }

// Built again in place: `s = Store()` would first build the 2.6 MB store as a
// temporary on the stack, which is more than some threads (and sanitized
// builds, which pad every frame) can spare.
static_assert(std::is_trivially_destructible_v<Store>);
void reset_store(Store& s) { new (&s) Store(); }

Store& the_store() {
  static std::unique_ptr<Store> s = make_store();
  return *s;
}

void set_message(Store& s, const char* text) {
  std::strncpy(s.messagetxt, text, sizeof s.messagetxt - 1);
  s.messagetxt[sizeof s.messagetxt - 1] = '\0';
}

void end_paste(Store& s) {
  if (s.g_pasteevent == 0) return;
  s.g_pasteevent = 0;
  set_message(s, " ");
}

}  // namespace brimoss
