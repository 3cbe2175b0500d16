// A library planted in a folder under the names of the libraries the programs load: a program
// whose library search path reaches the folder it is started from says so as it loads this one.
#include <unistd.h>

namespace {

__attribute__((constructor)) void AnnounceLoading() {
    static const char message[] = "planted library loaded\n";
    // Plain write(2): the C++ library may be the very name this one is planted under.
    const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    static_cast<void>(written);
}

} // namespace
