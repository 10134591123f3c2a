#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <map>

#include "studio/shell/fake_parts.h"
#include "studio/shell/link_opener.h"
#include "studio/shell/version_check.h"
#include "studio/shell/version_document.h"

namespace qm::studio::testing {
namespace {

using namespace std::chrono_literals;
using Outcome = VersionCheck::Outcome;

TEST(VersionDocumentTest, ProductVersionPartsAreDecimalNumbers) {
    EXPECT_EQ(parseProductVersion("01.04.0194.0000"), (VersionNumbers{1, 4, 194}));
    EXPECT_EQ(parseProductVersion("1.5"), (VersionNumbers{1, 5, 0}));
    EXPECT_EQ(parseProductVersion("2.x.7"), (VersionNumbers{2, 0, 7}));
    EXPECT_EQ(parseProductVersion(""), (VersionNumbers{0, 0, 0}));
    EXPECT_EQ(parseProductVersion(installedVersionText()), installedVersion());
}

TEST(VersionDocumentTest, VerAttributesAreReadAsNumbersAndText) {
    const auto published = parseVersionDocument(
        R"(<?xml version="1.0"?><Ver Major="1" Minor="04" Build="195" Link="https://x.test/a"/>)");
    ASSERT_TRUE(published);
    EXPECT_EQ(published->version, (VersionNumbers{1, 4, 195}));
    EXPECT_EQ(published->link, "https://x.test/a");

    const auto partial = parseVersionDocument(R"(<Ver Major="2" Minor="abc"><x/></Ver>)");
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->version, (VersionNumbers{2, 0, 0}));
    EXPECT_EQ(partial->link, "");

    const auto noVer = parseVersionDocument("<Version Major='9'/>");
    ASSERT_TRUE(noVer);
    EXPECT_EQ(noVer->version, (VersionNumbers{0, 0, 0}));

    EXPECT_FALSE(parseVersionDocument(""));
    EXPECT_FALSE(parseVersionDocument("<Ver Major='1'"));
}

TEST(VersionMessageTest, NumbersFillThePlacesInOrderAndNothingElse) {
    const QString message = newerVersionMessage({1, 4, 194}, {1, 4, 195});
    EXPECT_GT(message.indexOf(QStringLiteral(" 1.4.195.")),
              message.indexOf(QStringLiteral(" 1.4.194 ")));
    EXPECT_EQ(fillNumbers(QStringLiteral("%s %u %d %u %u"), {1, 2}),
              QStringLiteral("%s 1 %d 2 %u"));
}

TEST(LinkOpenerTest, OnlyWebAddressesAreOpened) {
    EXPECT_TRUE(isWebLink(QStringLiteral("https://example.test/download")));
    EXPECT_TRUE(isWebLink(QStringLiteral("http://example.test")));
    EXPECT_FALSE(isWebLink(QStringLiteral("")));
    EXPECT_FALSE(isWebLink(QStringLiteral("file:///usr/bin/xterm")));
    EXPECT_FALSE(isWebLink(QStringLiteral("/tmp/setup.sh")));
    EXPECT_FALSE(isWebLink(QStringLiteral("javascript:alert(1)")));
    DesktopLinkOpener opener;
    EXPECT_FALSE(opener.open(QStringLiteral("file:///etc/passwd")));
}

// A tiny HTTP server: one canned answer per path, "404 Not Found" for any other.
class VersionServer {
  public:
    VersionServer() {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { answer(socket); });
            }
        });
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
    }

    void serve(const QByteArray& path, const QByteArray& body) { bodies_[path] = body; }
    // Accepts connections but never answers.
    void stall() { stalled_ = true; }
    QString url(const char* path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    int requests() const { return requests_; }

  private:
    void answer(QTcpSocket* socket) {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n") || stalled_) {
            return;
        }
        ++requests_;
        const QByteArray path = request.split(' ').value(1);
        const auto found = bodies_.find(path);
        QByteArray response;
        if (found == bodies_.end()) {
            response =
                "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\n"
                "not found";
        } else {
            response = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                       QByteArray::number(found->second.size()) + "\r\nConnection: close\r\n\r\n" +
                       found->second;
        }
        socket->write(response);
        socket->disconnectFromHost();
        pending_.erase(socket);
    }

    QTcpServer server_;
    std::map<QByteArray, QByteArray> bodies_;
    std::map<QTcpSocket*, QByteArray> pending_;
    bool stalled_ = false;
    int requests_ = 0;
};

class VersionCheckTest : public ::testing::Test {
  protected:
    Outcome run(const QString& address, VersionNumbers installed,
                std::chrono::milliseconds timeout = 5s) {
        VersionCheck check(prompts_, links_, installed, timeout);
        QSignalSpy finished(&check, &VersionCheck::finished);
        check.start(address);
        if (finished.isEmpty()) {
            EXPECT_TRUE(finished.wait(10000));
        }
        EXPECT_EQ(finished.count(), 1);
        EXPECT_FALSE(check.running());
        return finished.isEmpty() ? Outcome::Failed : finished.takeFirst().at(0).value<Outcome>();
    }

    VersionServer server_;
    RecordingPrompts prompts_;
    RecordingLinks links_;
    const VersionNumbers installed_ = parseProductVersion("01.04.0194.0000");
};

TEST_F(VersionCheckTest, NewerBuildOffersTheDownloadThatCanBeDeclined) {
    server_.serve("/source/ver.xml",
                  R"(<Ver Major="1" Minor="4" Build="195" Link="https://maker.test/get"/>)");
    EXPECT_EQ(run(server_.url("/source/ver.xml"), installed_), Outcome::Opened);
    ASSERT_EQ(prompts_.questions.size(), 1u);
    EXPECT_EQ(prompts_.questions[0].text, newerVersionMessage({1, 4, 194}, {1, 4, 195}));
    EXPECT_EQ(prompts_.questions[0].icon, UserPrompts::Icon::Information);
    EXPECT_EQ(links_.opened, (std::vector<QString>{QStringLiteral("https://maker.test/get")}));

    prompts_.answer = false;
    EXPECT_EQ(run(server_.url("/source/ver.xml"), installed_), Outcome::Declined);
    EXPECT_EQ(links_.opened.size(), 1u);
}

TEST_F(VersionCheckTest, AVersionNotNewerEndsWithoutAMessage) {
    server_.serve("/equal", R"(<Ver Major="1" Minor="4" Build="194" Link="http://a"/>)");
    server_.serve("/older", R"(<Ver Major="1" Minor="4" Build="999"/>)");
    server_.serve("/nobuild", R"(<Ver Major="1" Minor="4"/>)");
    EXPECT_EQ(run(server_.url("/equal"), installed_), Outcome::UpToDate);
    EXPECT_EQ(run(server_.url("/older"), {1, 5, 0}), Outcome::UpToDate);
    EXPECT_EQ(run(server_.url("/nobuild"), {1, 4, 0}), Outcome::UpToDate) << "no build is 0";
    EXPECT_TRUE(prompts_.questions.empty());
    EXPECT_EQ(run(server_.url("/nobuild"), {1, 3, 7}), Outcome::Opened);
    ASSERT_EQ(prompts_.questions.size(), 1u);
    EXPECT_EQ(prompts_.questions[0].text, newerVersionMessage({1, 3, 7}, {1, 4, 0}));
}

TEST_F(VersionCheckTest, MissingEmptyBrokenOrOversizedDocumentsEndWithoutAMessage) {
    QByteArray big = R"(<Ver Major="9" Minor="0" Build="0"><pad>)";
    big += QByteArray(VersionCheck::kMaxDocumentBytes, 'x');
    big += "</pad></Ver>";
    server_.serve("/big", big);
    server_.serve("/empty", "");
    server_.serve("/broken", "<Ver Major='9'");
    for (const char* path : {"/missing", "/empty", "/broken", "/big"}) {
        EXPECT_EQ(run(server_.url(path), installed_), Outcome::Failed) << path;
    }
    EXPECT_EQ(server_.requests(), 4);
    EXPECT_TRUE(prompts_.questions.empty());
}

TEST_F(VersionCheckTest, AServerThatNeverAnswersTimesOut) {
    server_.stall();
    EXPECT_EQ(run(server_.url("/source/ver.xml"), installed_, 200ms), Outcome::Failed);
    EXPECT_TRUE(prompts_.questions.empty());
}

TEST_F(VersionCheckTest, NoAddressMeansNoCheck) {
    EXPECT_EQ(run(QString(), installed_), Outcome::Skipped);
    EXPECT_EQ(run(QStringLiteral("  "), installed_), Outcome::Skipped);
    EXPECT_EQ(server_.requests(), 0);
}

}  // namespace
}  // namespace qm::studio::testing
