#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/servicehost/systemd_service_host.h"
#include "servicehost_test_support.h"

namespace qm::servicehost {
namespace {

using testing::TempFolder;

// A datagram socket where systemd would listen, named by NOTIFY_SOCKET for the test's length.
class NotifySocket {
  public:
    explicit NotifySocket(const std::filesystem::path& folder) {
        path_ = (folder / "notify").string();
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof(address.sun_path) - 1);
        bound_ = fd_ >= 0 &&
                 ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
        ::setenv("NOTIFY_SOCKET", path_.c_str(), 1);
    }
    ~NotifySocket() {
        ::unsetenv("NOTIFY_SOCKET");
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    NotifySocket(const NotifySocket&) = delete;
    NotifySocket& operator=(const NotifySocket&) = delete;

    bool bound() const { return bound_; }

    // Every datagram already queued (a sent notification is queued when sd_notify returns).
    std::vector<std::string> received() const {
        std::vector<std::string> messages;
        char buffer[4096];
        while (true) {
            const ssize_t size = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (size < 0) {
                return messages;
            }
            messages.emplace_back(buffer, static_cast<std::size_t>(size));
        }
    }

  private:
    std::string path_;
    int fd_ = -1;
    bool bound_ = false;
};

TEST(SystemdServiceHost, TellsSystemdReadyWhenRunningAndStoppingWhenStopping) {
    TempFolder folder;
    NotifySocket socket(folder.path());
    ASSERT_TRUE(socket.bound());
    SystemdServiceHost host;

    host.reportStatus(ServiceState::StartPending);
    host.reportStatus(ServiceState::Running);
    host.reportStatus(ServiceState::StopPending);
    host.reportStatus(ServiceState::Stopped);

    const std::vector<std::string> expected = {
        "STATUS=Starting",
        "READY=1\nSTATUS=Running",
        "STOPPING=1\nSTATUS=Stopping",
        "STATUS=Stopped",
    };
    EXPECT_EQ(socket.received(), expected);
}

TEST(SystemdServiceHost, SendsNothingWithoutANotifySocket) {
    TempFolder folder;
    NotifySocket socket(folder.path());
    ASSERT_TRUE(socket.bound());
    ::setenv("NOTIFY_SOCKET", "", 1);  // started by hand: nobody listens
    SystemdServiceHost host;
    host.reportStatus(ServiceState::Running);
    host.reportStatus(ServiceState::StopPending);
    EXPECT_TRUE(socket.received().empty());
}

}  // namespace
}  // namespace qm::servicehost
