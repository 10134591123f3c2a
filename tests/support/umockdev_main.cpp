// main() of the test programs that run against a umockdev testbed. libumockdev redirects /sys
// and /dev only in a process that has its preload library loaded, so a program started without
// it starts itself again under umockdev-wrapper first. Under AddressSanitizer the preload comes
// before the sanitizer's runtime, which it must be told to accept.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool underUmockdev() {
    const char* preload = std::getenv("LD_PRELOAD");  // NOLINT(concurrency-mt-unsafe)
    return preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr;
}

}  // namespace

// hidapi keeps the text of the error of a failed open in memory that it loses when the next
// error comes; the tests of nodes that are no HID devices make it do so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libhidapi-hidraw.so\n";
}

int main(int argc, char** argv) {
    if (!underUmockdev()) {
        const char* asan = std::getenv("ASAN_OPTIONS");  // NOLINT(concurrency-mt-unsafe)
        std::string options = asan != nullptr ? std::string(asan) + ":" : std::string();
        options += "verify_asan_link_order=0";
        ::setenv("ASAN_OPTIONS", options.c_str(), 1);  // NOLINT(concurrency-mt-unsafe)
        std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        std::vector<char*> args;
        args.push_back(const_cast<char*>("umockdev-wrapper"));
        args.push_back(self.data());
        for (int i = 1; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        ::execvp("umockdev-wrapper", args.data());
        std::perror("umockdev-wrapper (Debian package umockdev)");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
