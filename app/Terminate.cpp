// What ends the program when an exception escapes or a noexcept function
// throws. The C++ library's default handler first prints the exception's
// type, demangled, to standard error, and then aborts. A windowed program
// has no standard error to read, and the demangler that handler brings is
// about 45 KB of the executable. This one aborts at once, as the default
// does after its message. It is linked into the program only (an object
// before the libraries, so the library's own handler is never pulled in);
// the tests keep the library's, whose message helps there.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
