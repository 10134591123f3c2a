#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

#include "log_test_support.h"
#include "service/log/log_storage.h"

namespace qm {
namespace {

using testing::readFile;
using testing::writeFile;

// A log file is opened only when it is a regular file of its own: never through a symbolic
// link, never a second name of another file, never a pipe (whose open would wait for a reader).
TEST(FileLogStorage, OpensOnlyRegularFilesOfTheirOwn) {
    testing::TempFolder folder;
    FileLogStorage& storage = FileLogStorage::instance();
    const std::string target = folder.text("target");
    writeFile(target, "target");

    ASSERT_EQ(::symlink(target.c_str(), folder.text("link.log").c_str()), 0);
    EXPECT_EQ(storage.openForAppend(folder.text("link.log")), nullptr);
    ASSERT_EQ(::symlink(folder.text("missing").c_str(), folder.text("dangling.log").c_str()), 0);
    EXPECT_EQ(storage.openForAppend(folder.text("dangling.log")), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder.text("missing")));
    ASSERT_EQ(::link(target.c_str(), folder.text("hard.log").c_str()), 0);
    EXPECT_EQ(storage.openForAppend(folder.text("hard.log")), nullptr);
    EXPECT_EQ(readFile(target), "target");

    const std::string fifo = folder.text("fifo.log");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // An open that waited for a reader of the pipe would never return: wait for it with a bound,
    // and let it go with a reader if it did not return.
    std::promise<void> returned;
    std::future<void> done = returned.get_future();
    std::thread opener([&] {
        EXPECT_EQ(storage.openForAppend(fifo), nullptr);
        returned.set_value();
    });
    const bool openReturned = done.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    EXPECT_TRUE(openReturned) << "the open waited for a reader of the pipe";
    const int reader = openReturned ? -1 : ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    opener.join();
    if (reader >= 0) {
        ::close(reader);
    }

    const auto file = storage.openForAppend(folder.text("plain.log"));
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->append("line"));
    EXPECT_EQ(readFile(folder.text("plain.log")), "line");
}

}  // namespace
}  // namespace qm
