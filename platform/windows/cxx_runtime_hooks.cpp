// Replacements for three hooks of the GNU C++ run-time library, in the
// Windows build only.
//
// libstdc++ reports a container size that no memory could hold by throwing
// std::length_error (or bad_alloc, bad_array_new_length). Nothing of ours
// catches those, so they would end the process without a report. Routed to
// the program's raise path, they become what they are: EOutOfMemory, with
// the filter asked and the box shown. As a side effect the library's
// exception classes and the strings they carry stay out of the exe, and so
// does the verbose terminate handler with its demangler: a terminate here
// only ever means a bug, and it aborts.
//
// libstdc++ defines all its __throw_* functions in one object file. Should
// the program come to need one not replaced here, the linker pulls that file
// in and fails with "multiple definition": add the one it names.
#include <cstdlib>
#include <exception>

#include "errors/raise.h"

namespace std {

[[noreturn]] void __throw_length_error(const char*) { velistra::RaiseOutOfMemory(); }
[[noreturn]] void __throw_bad_alloc() { velistra::RaiseOutOfMemory(); }
[[noreturn]] void __throw_bad_array_new_length() { velistra::RaiseOutOfMemory(); }
// A text made from a null pointer: a bug, never input.
[[noreturn]] void __throw_logic_error(const char*) { std::terminate(); }

}  // namespace std

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
