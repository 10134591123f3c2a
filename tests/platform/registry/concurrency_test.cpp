#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/registry/registry_test_support.h"
#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::registry {
namespace {

constexpr const char* kRaceKey = "SOFTWARE\\QUILLMERE\\Race";

std::string valueName(int writer, int index) {
    return "w" + std::to_string(writer) + "-" + std::to_string(index);
}

// One writer's share: `count` values in the shared key and one subkey per value, each through a
// freshly created key, as independent callers would do. Returns how many steps failed.
int writeShare(Store& store, int writer, int count) {
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        Key shared;
        Key own;
        failures += store.createKey(Hive::LocalMachine, kRaceKey, Access::ReadWrite, shared) !=
                    ERROR_SUCCESS;
        failures += writeDword(shared, valueName(writer, i), static_cast<std::uint32_t>(i)) !=
                    ERROR_SUCCESS;
        failures += shared.createSubkey("K" + valueName(writer, i), Access::ReadWrite, own) !=
                    ERROR_SUCCESS;
        failures += writeString(own, "Writer", std::to_string(writer)) != ERROR_SUCCESS;
    }
    return failures;
}

// Everything every writer wrote is there, exactly once.
void expectAllWritten(Store& store, int writers, int count) {
    Key key;
    ASSERT_EQ(store.openKey(Hive::LocalMachine, kRaceKey, Access::Read, key), ERROR_SUCCESS);
    std::vector<std::string> names;
    ASSERT_EQ(key.enumValues(names), ERROR_SUCCESS);
    EXPECT_EQ(names.size(), static_cast<std::size_t>(writers * count));
    ASSERT_EQ(key.enumSubkeys(names), ERROR_SUCCESS);
    EXPECT_EQ(names.size(), static_cast<std::size_t>(writers * count));
    for (int writer = 0; writer < writers; ++writer) {
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(readDword(key, valueName(writer, i)), static_cast<std::uint32_t>(i))
                << valueName(writer, i);
            Key own;
            ASSERT_EQ(key.openSubkey("K" + valueName(writer, i), Access::Read, own), ERROR_SUCCESS);
            ASSERT_EQ(readString(own, "Writer"), std::to_string(writer));
        }
    }
}

TEST(RegistryConcurrency, TwoProcessesWritingOneHiveLoseNothing) {
    testing::TempFolder folder;
    constexpr int kProcesses = 2;
    constexpr int kValuesEach = 200;
    int startPipe[2];
    ASSERT_EQ(pipe(startPipe), 0);

    std::vector<pid_t> children;
    for (int writer = 0; writer < kProcesses; ++writer) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // Child: wait until every writer exists, then race on a hive that doesn't exist yet.
            close(startPipe[1]);
            char go = 0;
            const ssize_t got = read(startPipe[0], &go, 1);
            int failures = got == 0 ? 0 : 1000;
            Store store(StoreLocations::inFolder(folder.path(), "tester"));
            failures += writeShare(store, writer, kValuesEach);
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(startPipe[0]);
    close(startPipe[1]);  // end of file in every child: all start together

    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer status " << status;
    }
    Store store(StoreLocations::inFolder(folder.path(), "tester"));
    expectAllWritten(store, kProcesses, kValuesEach);
}

TEST(RegistryConcurrency, ThreadsSharingOneStoreOrWithTheirOwnLoseNothing) {
    for (const bool shared : {true, false}) {
        SCOPED_TRACE(shared ? "one store" : "a store each");
        testing::StoreFixture fixture;
        constexpr int kThreads = 6;
        constexpr int kValuesEach = 40;
        std::atomic<int> failures{0};
        std::vector<std::thread> threads;
        threads.reserve(kThreads);
        for (int writer = 0; writer < kThreads; ++writer) {
            threads.emplace_back([&, writer] {
                if (shared) {
                    failures += writeShare(*fixture.store, writer, kValuesEach);
                } else {
                    const auto own = fixture.makeStore();
                    failures += writeShare(*own, writer, kValuesEach);
                }
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
        EXPECT_EQ(failures.load(), 0);
        expectAllWritten(*fixture.makeStore(), kThreads, kValuesEach);
        EXPECT_TRUE(fixture.diagnostics.lines().empty());
    }
}

TEST(RegistryConcurrency, OneHandleUsedByManyThreadsWhileItsKeyIsDeleted) {
    testing::StoreFixture fixture;
    Key device;
    ASSERT_EQ(
        fixture.store->createKey(Hive::LocalMachine, "Devices\\SN1", Access::ReadWrite, device),
        ERROR_SUCCESS);
    constexpr int kRounds = 100;
    std::atomic<int> unexpected{0};
    std::vector<std::thread> users;
    users.reserve(3);
    for (int t = 0; t < 3; ++t) {
        users.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                const long written = writeDword(device, "LPF", static_cast<std::uint32_t>(i));
                Value value;
                const long read = device.queryValue("LPF", value);
                unexpected += written != ERROR_SUCCESS && written != ERROR_KEY_DELETED;
                unexpected += read != ERROR_SUCCESS && read != ERROR_KEY_DELETED &&
                              read != ERROR_FILE_NOT_FOUND;
                unexpected += read == ERROR_SUCCESS && value.data.size() != 4;
            }
        });
    }
    std::thread deleter([&] {
        for (int i = 0; i < kRounds / 10; ++i) {
            unexpected += fixture.store->deleteTree(Hive::LocalMachine, "Devices\\SN1") > 2;
        }
    });
    for (auto& thread : users) {
        thread.join();
    }
    deleter.join();
    EXPECT_EQ(unexpected.load(), 0);
    Value value;
    EXPECT_EQ(device.queryValue("LPF", value), ERROR_KEY_DELETED);
}

}  // namespace
}  // namespace qm::registry
