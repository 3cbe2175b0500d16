// Start-up as a user sees it, measured from outside the program: starts a program under the X
// server of $DISPLAY and polls the root window until the program has settled (no new frame and no
// CPU time used for a while). The first screen is the first polled frame that already looks like
// the settled one (the clock in the navigation bar may have moved on meanwhile, so a few pixels may
// differ). Prints, on one line, the milliseconds from just before the start to that frame, the peak
// resident memory (VmHWM) and the CPU time of the program, then ends it.
//   screenwatch [--quiet-ms N] [--timeout-s N] [--tolerance PIXELS] -- PROGRAM [ARGS...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Frame {
    double ms = 0;
    std::vector<uint32_t> pixels;
};

double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

bool Grab(Display* display, Window root, int width, int height, std::vector<uint32_t>& pixels) {
    XImage* image =
        XGetImage(display, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (image->bits_per_pixel == 32) {
        for (int y = 0; y < height; ++y) {
            std::memcpy(&pixels[static_cast<size_t>(y) * static_cast<size_t>(width)],
                        image->data + static_cast<ptrdiff_t>(y) * image->bytes_per_line,
                        static_cast<size_t>(width) * sizeof(uint32_t));
        }
        XDestroyImage(image);
        return true;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<uint32_t>(XGetPixel(image, x, y));
        }
    }
    XDestroyImage(image);
    return true;
}

size_t Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    size_t count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        count += a[i] != b[i] ? 1 : 0;
    }
    return count;
}

// User plus system CPU time of a process in clock ticks, or -1 once it is gone.
long CpuTicks(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return -1;
    }
    char line[1024] = {};
    const bool read = std::fgets(line, sizeof(line), file) != nullptr;
    std::fclose(file);
    // The command name may hold spaces; the fields after it are counted from its closing bracket.
    const char* rest = read ? std::strrchr(line, ')') : nullptr;
    unsigned long user = 0;
    unsigned long system = 0;
    if (rest == nullptr ||
        std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system) != 2) {
        return -1;
    }
    return static_cast<long>(user + system);
}

long PeakResidentKiB(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    long peak = -1;
    if (FILE* file = std::fopen(path.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof(line), file) != nullptr) {
            if (std::sscanf(line, "VmHWM: %ld kB", &peak) == 1) {
                break;
            }
        }
        std::fclose(file);
    }
    return peak;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: screenwatch [--quiet-ms N] [--timeout-s N] [--tolerance PIXELS] -- PROGRAM [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    double quietMs = 1000;
    double timeoutMs = 120000;
    size_t tolerance = 400;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        if (first + 1 >= argc) {
            return Usage();
        }
        if (std::strcmp(argv[first], "--quiet-ms") == 0) {
            quietMs = std::atof(argv[++first]);
        } else if (std::strcmp(argv[first], "--timeout-s") == 0) {
            timeoutMs = std::atof(argv[++first]) * 1e3;
        } else if (std::strcmp(argv[first], "--tolerance") == 0) {
            tolerance = static_cast<size_t>(std::atol(argv[++first]));
        } else {
            return Usage();
        }
    }
    if (first + 1 >= argc) {
        return Usage();
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "screenwatch: cannot open the display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));

    std::vector<Frame> frames(1);
    if (!Grab(display, root, width, height, frames[0].pixels)) {
        std::fprintf(stderr, "screenwatch: cannot read the root window\n");
        return 1;
    }
    const double start = NowMs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first + 1], argv + first + 1);
        std::_Exit(127);
    }
    if (child < 0) {
        std::perror("screenwatch: fork");
        return 1;
    }

    std::vector<uint32_t> pixels;
    double lastChange = -1;
    long lastTicks = 0;
    double lastBusy = 0;
    bool ended = false;
    for (;;) {
        const double now = NowMs();
        if (!Grab(display, root, width, height, pixels)) {
            break;
        }
        if (pixels != frames.back().pixels) {
            frames.push_back(Frame{now - start, pixels});
            lastChange = now;
        }
        const long ticks = CpuTicks(child);
        int status = 0;
        if (ticks < 0 || waitpid(child, &status, WNOHANG) == child) {
            ended = true;
            break;
        }
        if (ticks != lastTicks) {
            lastTicks = ticks;
            lastBusy = now;
        }
        if (lastChange >= 0 && now - lastChange >= quietMs && now - lastBusy >= quietMs) {
            break;
        }
        if (now - start > timeoutMs) {
            std::fprintf(stderr, "screenwatch: the program did not settle in time\n");
            break;
        }
        // Each poll costs the X server a copy of the screen: polled every few milliseconds, the watcher
        // takes little of the CPU time the program needs.
        usleep(5000);
    }
    const long peak = PeakResidentKiB(child);
    const long ticks = CpuTicks(child);
    if (!ended) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    XCloseDisplay(display);
    if (ended || frames.size() < 2) {
        std::fprintf(stderr, "screenwatch: the program ended or showed nothing\n");
        return 1;
    }
    const Frame& settled = frames.back();
    size_t shown = frames.size() - 1;
    for (size_t i = 1; i < frames.size(); ++i) {
        if (Differing(frames[i].pixels, settled.pixels) <= tolerance) {
            shown = i;
            break;
        }
    }
    std::printf("first-screen-ms %.1f frames %zu peak-rss-kib %ld cpu-ms %.0f\n", frames[shown].ms, frames.size() - 1,
                peak, static_cast<double>(ticks) * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK)));
    return 0;
}
