// Replay mode of the fuzz targets: runs LLVMFuzzerTestOneInput once over every
// file named on the command line, and over every file inside each folder named,
// so a corpus can be checked under the sanitizers without the fuzzing engine.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <csignal>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
// Present when a sanitizer runtime is linked in: lets a report name the input.
extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*callback)());

namespace {

// A plain buffer, not a std::string: a leak report comes after static
// destructors have run, and its callback still reads the name.
char currentInput[4096] = "(none yet)";

void setCurrentInput(const std::string& name)
{
    std::snprintf(currentInput, sizeof currentInput, "%s", name.c_str());
}

void nameCurrentInput() { std::fprintf(stderr, "replay: the failing input is %s\n", currentInput); }

// A failed check of a target aborts; say which input did it, then die as before.
void onAbort(int signal)
{
    const char prefix[] = "replay: the failing input is ";
    [[maybe_unused]] ssize_t a = ::write(2, prefix, sizeof prefix - 1);
    [[maybe_unused]] ssize_t b = ::write(2, currentInput, std::strlen(currentInput));
    [[maybe_unused]] ssize_t c = ::write(2, "\n", 1);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool runFile(const std::filesystem::path& path)
{
    setCurrentInput(path.string());
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    // A heap block of exactly the input's length, so a read past its end is
    // caught as it would be under the engine.
    const std::unique_ptr<uint8_t[]> input(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), input.get());
    LLVMFuzzerTestOneInput(input.get(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(nameCurrentInput);
    std::signal(SIGABRT, onAbort);
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
        return 2;
    }
    std::size_t runs = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(arg, error)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            // Sorted, so a failure points at the same file on every machine.
            std::sort(files.begin(), files.end());
            if (files.empty()) {
                std::fprintf(stderr, "no inputs in %s\n", arg.c_str());
                ok = false;
            }
            for (const auto& file : files) {
                ok = runFile(file) && ok;
                ++runs;
            }
        } else {
            ok = runFile(arg) && ok;
            ++runs;
        }
    }
    // Whatever is reported from here on (leaks at exit) belongs to no one input.
    setCurrentInput("none: the report came after the last input, at exit");
    std::printf("%s: replayed %zu inputs\n", argv[0], runs);
    return ok ? 0 : 1;
}
