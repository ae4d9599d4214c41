#include "model/surface_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <numeric>

namespace brimoss {

namespace {

// Files larger than this cannot be surfaces of the store's capacity with any
// sensible amount of trailing text, and reading them would only eat memory.
constexpr std::size_t kMaxFileBytes = 64u << 20;

std::string_view trim(std::string_view t) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!t.empty() && blank(t.front())) t.remove_prefix(1);
  while (!t.empty() && blank(t.back())) t.remove_suffix(1);
  return t;
}

std::string quoted(std::string_view t) {
  std::string q(t.substr(0, 40));
  for (char& c : q)
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = '?';
  if (t.size() > 40) q += "...";
  return "\"" + q + "\"";
}

// Walks the text token by token. A token runs up to its terminator; the last
// field of a line may also end at the end of the text, so a file that lacks
// only its final line feed still reads.
class Cursor {
 public:
  Cursor(std::string_view text, char term) : t_(text), term_(term) {}

  int line() const { return line_; }
  int token_line() const { return token_line_; }

  // A field ended by a comma.
  bool field(std::string_view& tok, std::string& err) { return next(',', tok, err); }
  // A count, or the last field of an item.
  bool last(std::string_view& tok, std::string& err) { return next(term_, tok, err); }

 private:
  bool next(char want, std::string_view& tok, std::string& err) {
    token_line_ = line_;
    if (pos_ >= t_.size()) {
      err = "line " + std::to_string(line_) + ": unexpected end of file";
      return false;
    }
    std::size_t i = pos_;
    while (i < t_.size() && t_[i] != want && t_[i] != term_) ++i;
    if (i < t_.size() && t_[i] != want) {
      // Reached the end of the item while a comma was still expected.
      err = "line " + std::to_string(line_) + ": too few fields";
      return false;
    }
    if (i >= t_.size() && want != term_) {
      err = "line " + std::to_string(line_) + ": unexpected end of file";
      return false;
    }
    tok = t_.substr(pos_, i - pos_);
    if (i < t_.size() && t_[i] == '\n') ++line_;
    pos_ = i < t_.size() ? i + 1 : i;
    return true;
  }

  std::string_view t_;
  char term_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int token_line_ = 1;
};

std::string at(int line) { return "line " + std::to_string(line) + ": "; }

// The text of a number without blanks around it and without a leading plus
// sign, which the C conversions accept and from_chars does not.
std::string_view number_text(std::string_view raw) {
  std::string_view t = trim(raw);
  if (t.size() > 1 && t[0] == '+' && t[1] != '-' && t[1] != '+') t.remove_prefix(1);
  return t;
}

bool parse_count(std::string_view raw, const char* what, const char* plural, int room, int line,
                 int& n, std::string& err) {
  std::string_view t = number_text(raw);
  long long v = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || v < 0) {
    err = at(line) + what + " count " + quoted(raw) + " is not a non-negative whole number";
    return false;
  }
  if (v > room) {
    err = at(line) + std::to_string(v) + " " + plural + " do not fit: room for " +
          std::to_string(room);
    return false;
  }
  n = static_cast<int>(v);
  return true;
}

bool parse_index(std::string_view raw, const char* what, int item, int nov, int line, int& out,
                 std::string& err) {
  std::string_view t = number_text(raw);
  long long v = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size()) {
    err = at(line) + what + " " + std::to_string(item) + ": vertex index " + quoted(raw) +
          " is not a whole number";
    return false;
  }
  if (v < 0 || v >= nov) {
    err = at(line) + what + " " + std::to_string(item) + ": vertex index " + std::to_string(v) +
          (nov > 0 ? " is outside the vertex list (0 to " + std::to_string(nov - 1) + ")"
                   : " refers to an empty vertex list");
    return false;
  }
  out = static_cast<int>(v);
  return true;
}

bool parse_coord(std::string_view raw, int item, int line, double& out, std::string& err) {
  std::string_view t = number_text(raw);
  double v = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) {
    err = at(line) + "vertex " + std::to_string(item) + ": coordinate " + quoted(raw) +
          " is not a finite number";
    return false;
  }
  // Beyond this the squares of distances overflow, and the surface would turn
  // into infinities at the first relaxation.
  if (std::fabs(v) > kMaxCoordinate) {
    err = at(line) + "vertex " + std::to_string(item) + ": coordinate " + quoted(raw) +
          " is too large";
    return false;
  }
  // Some from_chars versions read "-0" as plus zero; keep the sign as the C
  // conversions do, so that a text read and written again stays the same.
  out = (v == 0 && t[0] == '-') ? -0.0 : v;
  return true;
}

// Union-find over the vertices, for counting pieces before anything changes.
int find(std::vector<int>& parent, int v) {
  while (parent[v] != v) {
    parent[v] = parent[parent[v]];
    v = parent[v];
  }
  return v;
}

bool pieces_fit(const Store& s, bool with_store, const ParsedSurface& p, std::string& err) {
  const int n = count_components(s, with_store, p);
  if (n > MAXCONNCOMP - 2) {
    err = at(p.edge_count_line) + "the " + std::to_string(p.noe()) + " edges leave " +
          (with_store ? "the surface with the appended one" : "the surface") + " in " +
          std::to_string(n) + " separate pieces; at most " + std::to_string(MAXCONNCOMP - 2) +
          " can be told apart";
    return false;
  }
  return true;
}

}  // namespace

bool parse_surface(std::string_view text, char term, ParsedSurface& out, std::string& err,
                   int room_v, int room_e, int room_s) {
  out = ParsedSurface();
  if (trim(text).empty() && text.find('\n') == std::string_view::npos) {
    err = "line 1: the file is empty";
    return false;
  }
  Cursor c(text, term);
  std::string_view a, b, k;

  int nov = 0;
  if (!c.last(a, err) || !parse_count(a, "vertex", "vertices", room_v, c.token_line(), nov, err))
    return false;
  out.x.resize(nov);
  out.y.resize(nov);
  out.z.resize(nov);
  for (int i = 0; i < nov; ++i) {
    if (!c.field(a, err) || !c.field(b, err) || !c.last(k, err)) return false;
    const int line = c.token_line();
    if (!parse_coord(a, i, line, out.x[i], err) || !parse_coord(b, i, line, out.y[i], err) ||
        !parse_coord(k, i, line, out.z[i], err))
      return false;
  }

  int noe = 0;
  if (!c.last(a, err) || !parse_count(a, "edge", "edges", room_e, c.token_line(), noe, err))
    return false;
  out.edge_count_line = c.token_line();
  out.edge.resize(noe);
  out.phi.resize(noe);
  for (int i = 0; i < noe; ++i) {
    if (!c.field(a, err) || !c.field(b, err) || !c.last(k, err)) return false;
    const int line = c.token_line();
    if (!parse_index(a, "edge", i, nov, line, out.edge[i].first, err) ||
        !parse_index(b, "edge", i, nov, line, out.edge[i].second, err))
      return false;
    out.phi[i] = (!k.empty() && k[0] == 'a') ? phi_a() : phi_b();
  }

  int nos = 0;
  if (!c.last(a, err) || !parse_count(a, "face", "faces", room_s, c.token_line(), nos, err))
    return false;
  out.face.resize(nos);
  for (int i = 0; i < nos; ++i) {
    if (!c.field(a, err) || !c.field(b, err) || !c.last(k, err)) return false;
    const int line = c.token_line();
    if (!parse_index(a, "face", i, nov, line, out.face[i][0], err) ||
        !parse_index(b, "face", i, nov, line, out.face[i][1], err) ||
        !parse_index(k, "face", i, nov, line, out.face[i][2], err))
      return false;
  }
  // Whatever follows the last face is ignored.
  return true;
}

void commit_surface(Store& s, const ParsedSurface& p, bool append) {
  const int v0 = append ? s.NOV : 0;
  const int e0 = append ? s.NOE : 0;
  const int f0 = append ? s.NOS : 0;
  const double shift = append ? 3.0 : 0.0;
  for (int i = 0; i < p.nov(); ++i) {
    // Not "+ 0.0" when opening: that would turn a minus zero into plus zero.
    s.x[v0 + i] = append ? p.x[i] + shift : p.x[i];
    s.y[v0 + i] = p.y[i];
    s.z[v0 + i] = p.z[i];
  }
  for (int i = 0; i < p.noe(); ++i) {
    s.edge[e0 + i] = {p.edge[i].first + v0, p.edge[i].second + v0};
    s.phi[e0 + i] = p.phi[i];
  }
  for (int i = 0; i < p.nos(); ++i)
    for (int k = 0; k < 3; ++k) s.face[f0 + i][k] = p.face[i][k] + v0;
  s.NOV = v0 + p.nov();
  s.NOE = e0 + p.noe();
  s.NOS = f0 + p.nos();
}

int count_components(const Store& s, bool with_store, const ParsedSurface& p) {
  const int v0 = with_store ? s.NOV : 0;
  const int n = v0 + p.nov();
  std::vector<int> parent(n);
  std::iota(parent.begin(), parent.end(), 0);
  int pieces = n;
  auto join = [&](int a, int b) {
    a = find(parent, a);
    b = find(parent, b);
    if (a != b) {
      parent[a] = b;
      --pieces;
    }
  };
  if (with_store)
    for (int l = 0; l < s.NOE; ++l) join(s.edge[l].first, s.edge[l].second);
  for (const Edge& e : p.edge) join(e.first + v0, e.second + v0);
  return pieces;
}

bool parse_for_store(const Store& s, std::string_view text, bool append, ParsedSurface& p,
                     std::string& err) {
  const bool ok =
      append ? parse_surface(text, '\n', p, err, MAXNOV - s.NOV, MAXNOE - s.NOE, MAXNOS - s.NOS)
             : parse_surface(text, '\n', p, err);
  return ok && pieces_fit(s, append, p, err);
}

bool read_whole_file(const std::string& path, std::string& text, std::string& err) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    err = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    err = "cannot open " + path + ": it is a folder";
    close(fd);
    return false;
  }
  // Read to the end rather than trusting the size, which a pipe or a file
  // that is still being written does not have; stop past the limit.
  std::string buf;
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = "cannot read " + path + ": " + std::strerror(errno);
      close(fd);
      return false;
    }
    if (n == 0) break;
    if (buf.size() + static_cast<std::size_t>(n) > kMaxFileBytes) {
      err = "cannot open " + path + ": larger than " + std::to_string(kMaxFileBytes >> 20) +
            " MB, too large to be a surface file";
      close(fd);
      return false;
    }
    buf.append(chunk, static_cast<std::size_t>(n));
  }
  close(fd);
  text.swap(buf);
  return true;
}

namespace {

void put_int(std::string& out, int v) {
  char buf[16];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// Fixed point with five decimals, exactly as "%.5lf" writes it in the C
// locale, whatever locale the toolkit has switched the process to.
void put_fixed5(std::string& out, double v) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 5);
  out.append(buf, r.ptr);
}

}  // namespace

std::string surface_text(const Store& s) {
  std::string out;
  out.reserve(16 + s.NOV * 40 + s.NOE * 12 + s.NOS * 16);
  put_int(out, s.NOV);
  out += '\n';
  for (int i = 0; i < s.NOV; ++i) {
    put_fixed5(out, s.x[i]);
    out += ',';
    put_fixed5(out, s.y[i]);
    out += ',';
    put_fixed5(out, s.z[i]);
    out += '\n';
  }
  put_int(out, s.NOE);
  out += '\n';
  for (int i = 0; i < s.NOE; ++i) {
    put_int(out, s.edge[i].first);
    out += ',';
    put_int(out, s.edge[i].second);
    out += ',';
    out += s.phi[i] < phi_split() ? "a\n" : "b\n";
  }
  put_int(out, s.NOS);
  out += '\n';
  for (int i = 0; i < s.NOS; ++i) {
    put_int(out, s.face[i][0]);
    out += ',';
    put_int(out, s.face[i][1]);
    out += ',';
    put_int(out, s.face[i][2]);
    out += '\n';
  }
  return out;
}

bool write_file_atomically(const std::string& path, std::string_view bytes, std::string& err) {
  // Write through a symbolic link rather than replacing the link itself.
  std::string target = path;
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  mode_t mode = 0;
  if (stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      err = "cannot save to " + path + ": it is a folder";
      return false;
    }
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }

  std::string tmp = target + ".XXXXXX";
  const int fd = mkstemp(&tmp[0]);
  if (fd < 0) {
    err = "cannot save " + path + ": " + std::strerror(errno);
    return false;
  }
  auto fail = [&](const char* what) {
    err = std::string("cannot save ") + path + ": " + what + ": " + std::strerror(errno);
    close(fd);
    unlink(tmp.c_str());
    return false;
  };
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("write failed");
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (fchmod(fd, mode) != 0) return fail("cannot set permissions");
  if (fsync(fd) != 0) return fail("write failed");
  if (close(fd) != 0) {
    err = "cannot save " + path + ": " + std::strerror(errno);
    unlink(tmp.c_str());
    return false;
  }
  if (rename(tmp.c_str(), target.c_str()) != 0) {
    err = "cannot save " + path + ": " + std::strerror(errno);
    unlink(tmp.c_str());
    return false;
  }
  return true;
}

bool save_surface_file(const Store& s, const std::string& path, std::string& err) {
  return write_file_atomically(path, surface_text(s), err);
}

}  // namespace brimoss
