// Replays files through a fuzz target without libFuzzer: each argument is a file or a folder of
// files. Built with the normal compiler, so that the corpora stay green without clang.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int Replay(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // libFuzzer never passes a null pointer, not even for an empty input.
    static const uint8_t none = 0;
    const auto* data = bytes.empty() ? &none : reinterpret_cast<const uint8_t*>(bytes.data());
    LLVMFuzzerTestOneInput(data, bytes.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int failures = 0;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    failures += Replay(entry.path());
                    ++replayed;
                }
            }
        } else {
            failures += Replay(path);
            ++replayed;
        }
    }
    std::printf("%d files replayed\n", replayed);
    // No files at all means the corpus went missing: that is a failure too.
    return failures == 0 && replayed > 0 ? 0 : 1;
}
