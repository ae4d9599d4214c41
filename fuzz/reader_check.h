// One input for the surface-file reader, run and judged: shared by the fuzzer
// and by the core test that replays the corpus and every input that once
// found a fault.
//
// The first byte chooses the command and the store it works on; the rest is
// the file's text. An accepted text must leave a store that keeps every
// invariant, with the counts the text gave and the snapshot the command
// promises; a refused text must leave the store exactly, byte for byte, as it
// was, with a message that names the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "model/invariants.h"
#include "model/samples.h"
#include "model/store.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "ops/load.h"
#include "testing/store_bytes.h"
#include "testing/workloads.h"

namespace brimoss::testing {

enum Base { kStartUp, kNearlyFull, kEmpty, kBases };

// The stores the commands start from, built once: the program as it starts
// (with a snapshot and a highlight to keep), a surface with room for only a
// dozen more vertices, and a store with nothing in it.
inline const Store& base(Base b) {
  static const std::unique_ptr<Store> bases[kBases] = {
      [] {
        auto s = make_store();
        initialize_store(*s);
        makecopy(*s);
        s->x[0] += 0.5;
        s->hilighted[2] = true;
        return s;
      }(),
      [] {
        auto s = make_store();
        build_grown_surface(*s);
        return s;
      }(),
      make_store(),
  };
  return *bases[b];
}

inline std::string check_input(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return "";
  const bool append = data[0] & 1;
  const Base b = static_cast<Base>((data[0] >> 1) % kBases);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const Store& before = base(b);

  static const std::unique_ptr<Store> work = make_store();
  Store& s = *work;
  byte_copy_into(s, before);
  std::string err;
  const bool ok = append ? append_surface_text(s, text, err) : open_surface_text(s, text, err);
  const std::string what = append ? "append" : "open";

  if (!ok) {
    if (first_different_byte(s, before) >= 0)
      return what + " refused the text but changed the store";
    if (err.rfind("line ", 0) != 0) return what + " refused the text without naming a line: " + err;
    return "";
  }
  std::string why;
  if (!check_invariants(s, &why)) return what + " accepted the text and broke an invariant: " + why;
  ParsedSurface p;
  std::string perr;
  if (!parse_surface(text, '\n', p, perr))
    return what + " accepted a text the parser refuses: " + perr;
  const int v0 = append ? before.NOV : 0, e0 = append ? before.NOE : 0,
            f0 = append ? before.NOS : 0;
  if (s.NOV != v0 + p.nov() || s.NOE != e0 + p.noe() || s.NOS != f0 + p.nos())
    return what + " gave the wrong counts";
  if (s.g_twincle != 1) return what + " did not start the twinkle";
  if (append) {
    if (s.undo.nov != before.NOV || s.undo.noe != before.NOE || s.undo.nos != before.NOS)
      return "append did not take the snapshot";
  } else if (s.undo.nov != before.undo.nov ||
             std::memcmp(&s.undo.x, &before.undo.x, sizeof s.undo.x) != 0 ||
             std::memcmp(&s.undo.edge, &before.undo.edge, sizeof s.undo.edge) != 0 ||
             std::memcmp(&s.undo.face, &before.undo.face, sizeof s.undo.face) != 0) {
    return "open touched the snapshot";
  }
  return "";
}

}  // namespace brimoss::testing
