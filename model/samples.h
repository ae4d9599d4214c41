// The four surfaces compiled into the program, numbered 128 to 131.
#pragma once

#include "model/store.h"

namespace brimoss {

extern const char* const data128a;
extern const char* const data128b;
extern const char* const data128c;
extern const char* const data129a;
extern const char* const data129b;
extern const char* const data129c;
extern const char* const data130a;
extern const char* const data130b;
extern const char* const data130c;
extern const char* const data131a;
extern const char* const data131b;
extern const char* const data131c;

// Replaces the surface with sample n (128, 129 or 130; any other number means
// 131), ending a running paste and dropping the undo snapshot. No relaxation
// or labelling: loading a sample as the user does is ReadSampleData.
bool load_sample_surface(Store& s, int n);

// The sample written as a surface file (colons turned into line feeds).
std::string sample_as_file_text(int n);

}  // namespace brimoss
