// Pieces of the D-Bus binding that need no bus: names and paths, bus selection, error mapping,
// wire text and the notification outbox.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "common/ipc/bus_address.h"
#include "common/ipc/bus_names.h"
#include "common/ipc/ipc_result.h"
#include "common/ipc/notification_outbox.h"
#include "common/ipc/wire_text.h"

namespace qm::ipc {
namespace {

// --- object paths -----------------------------------------------------------------------

bool isValidPathElement(const std::string& element) {
    return !element.empty() && std::ranges::all_of(element, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '_';
    });
}

TEST(DevicePaths, SerialsBecomeValidElementsAndComeBack) {
    const std::string serials[] = {
        "SN1001", "0123-ABCD", "a_b", "x/y.z", "Mikrofon \xC3\xA4 %s", std::string("\x00\xFF", 2)};
    for (const std::string& serial : serials) {
        const std::string element = escapePathElement(serial);
        EXPECT_TRUE(isValidPathElement(element)) << element;
        EXPECT_EQ(unescapePathElement(element), serial) << element;
    }
    EXPECT_EQ(escapePathElement("SN-1"), "SN_2D1");
    EXPECT_EQ(escapePathElement("a_b"), "a_5Fb");
}

TEST(DevicePaths, DistinctSerialsGiveDistinctPathsAndNumbersDontComeBack) {
    // Escaping must not fold different serials together ("_" itself is escaped).
    EXPECT_NE(escapePathElement("A_2D"), escapePathElement("A-"));
    EXPECT_NE(devicePath("SN1", 2), devicePath("SN1_n2", 1));
    for (const char* element : {"SN1001_n2", "bad_4", "bad_", "a.b"}) {
        EXPECT_FALSE(unescapePathElement(element).has_value()) << element;
    }
}

// --- bus selection ----------------------------------------------------------------------

TEST(BusSelection, ParsesNamesAndAddresses) {
    EXPECT_EQ(BusAddress::parse("system"), BusAddress::system());
    EXPECT_EQ(BusAddress::parse("SESSION"), BusAddress::session());
    EXPECT_EQ(BusAddress::parse("unix:path=/tmp/bus"),
              BusAddress::explicitAddress("unix:path=/tmp/bus"));
    EXPECT_FALSE(BusAddress::parse("").has_value());
    EXPECT_FALSE(BusAddress::parse("systemd").has_value());
}

TEST(BusSelection, ExplicitChoiceThenEnvironmentThenSystem) {
    unsetenv(kBusAddressEnvironment);  // NOLINT(concurrency-mt-unsafe)
    EXPECT_EQ(BusAddress::resolve(std::nullopt), BusAddress::system());
    setenv(kBusAddressEnvironment, "session", 1);  // NOLINT(concurrency-mt-unsafe)
    EXPECT_EQ(BusAddress::resolve(std::nullopt), BusAddress::session());
    EXPECT_EQ(BusAddress::resolve(BusAddress::explicitAddress("unix:path=/x")),
              BusAddress::explicitAddress("unix:path=/x"));
    setenv(kBusAddressEnvironment, "nonsense", 1);  // NOLINT(concurrency-mt-unsafe)
    EXPECT_EQ(BusAddress::resolve(std::nullopt), BusAddress::system());
    unsetenv(kBusAddressEnvironment);  // NOLINT(concurrency-mt-unsafe)
}

// --- failures of calls ------------------------------------------------------------------

TEST(CallFailures, MapToClearResults) {
    struct Case {
        const char* name;
        sdk::HRESULT expected;
    };
    const Case cases[] = {
        {"org.freedesktop.DBus.Error.ServiceUnknown", kServiceUnavailable},
        {"org.freedesktop.DBus.Error.NameHasNoOwner", kServiceUnavailable},
        {"org.freedesktop.DBus.Error.Disconnected", kServiceUnavailable},
        {"System.Error.ENOTCONN", kServiceUnavailable},
        {"System.Error.ECONNRESET", kServiceUnavailable},
        {kErrorServiceStopping, kServiceUnavailable},
        {"org.freedesktop.DBus.Error.NoReply", kCallTimedOut},
        {"org.freedesktop.DBus.Error.Timeout", kCallTimedOut},
        {"System.Error.ETIMEDOUT", kCallTimedOut},
        {"org.freedesktop.DBus.Error.UnknownObject", kObjectDisconnected},
        {"org.freedesktop.DBus.Error.UnknownMethod", kObjectDisconnected},
        {"org.freedesktop.DBus.Error.AccessDenied", sdk::E_ACCESSDENIED},
        {"org.freedesktop.DBus.Error.NoMemory", sdk::E_OUTOFMEMORY},
        {"org.freedesktop.DBus.Error.InvalidArgs", sdk::E_FAIL},
        {kErrorInternal, sdk::E_FAIL},
        {"", sdk::E_FAIL},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hresultFromBusError(c.name), c.expected) << c.name;
        EXPECT_TRUE(sdk::FAILED(hresultFromBusError(c.name))) << c.name;
    }
    EXPECT_EQ(static_cast<std::uint32_t>(kServiceUnavailable), 0x800706BAu);
}

// --- wire text --------------------------------------------------------------------------

TEST(WireText, ValidTextPassesUnchanged) {
    const std::string text = "Mikrofon \xE2\x80\x9EStudio\xE2\x80\x9C 100% %s \xF0\x9F\x8E\xA4";
    EXPECT_EQ(toWireText(text), text);
    EXPECT_EQ(toWireText(""), "");
}

TEST(WireText, InvalidBytesBecomeReplacementAndNulEndsTheText) {
    EXPECT_EQ(toWireText("a\xFF"
                         "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(toWireText(std::string("ab\0cd", 5)), "ab");
}

// --- notification outbox ----------------------------------------------------------------

TEST(Outbox, LaneWaitsForFinishedThenMovesOn) {
    NotificationOutbox outbox(8);
    outbox.post(":1.5", "/s/1", "SN1", 1);
    outbox.post(":1.5", "/s/1", "SN2", 2);
    outbox.post(":1.6", "/s/1", "SN1", 1);
    auto a = outbox.next();
    auto b = outbox.next();
    ASSERT_TRUE(a && b);
    // One from each client: the second of :1.5 is held back while its first is in flight.
    EXPECT_NE(a->notification.client, b->notification.client);
    const Notification& first =
        a->notification.client == ":1.5" ? a->notification : b->notification;
    EXPECT_EQ(first.serial, "SN1");
    // A finished() with another ticket changes nothing.
    outbox.finished(":1.5", first.ticket + 1000);
    outbox.post(":1.7", "/s/9", "X", 0);
    auto c = outbox.next();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->notification.client, ":1.7");
    outbox.finished(":1.5", first.ticket);
    auto d = outbox.next();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->notification.client, ":1.5");
    EXPECT_EQ(d->notification.serial, "SN2");
    EXPECT_EQ(d->notification.state, 2);
}

TEST(Outbox, AnIdleLaneIsForgottenBeforeALaterSendToTheSameClient) {
    NotificationOutbox outbox(8);
    outbox.post(":1.5", "/s/1", "SN1", 1);
    auto sent = outbox.next();
    ASSERT_TRUE(sent);
    outbox.finished(":1.5", sent->notification.ticket);
    outbox.post(":1.5", "/s/1", "SN2", 2);
    auto forget = outbox.next();
    auto again = outbox.next();
    ASSERT_TRUE(forget && again);
    EXPECT_EQ(forget->kind, NotificationOutbox::Work::Kind::ForgetClient);
    EXPECT_EQ(forget->notification.client, ":1.5");
    EXPECT_EQ(again->kind, NotificationOutbox::Work::Kind::Send);
    EXPECT_EQ(again->notification.serial, "SN2");
}

TEST(Outbox, ClientThatStopsAnsweringLosesTheOldestBeyondTheLimit) {
    NotificationOutbox outbox(2);
    outbox.post(":1.5", "/s/1", "A", 0);
    auto inFlight = outbox.next();  // never finished: the client hangs
    ASSERT_TRUE(inFlight);
    outbox.post(":1.5", "/s/1", "B", 0);
    outbox.post(":1.5", "/s/1", "C", 0);
    outbox.post(":1.5", "/s/1", "D", 0);
    EXPECT_EQ(outbox.droppedCount(), 1u);
    outbox.close();
    auto first = outbox.next();
    auto second = outbox.next();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->notification.serial, "C");
    EXPECT_EQ(second->notification.serial, "D");
    EXPECT_FALSE(outbox.next().has_value());
}

TEST(Outbox, UnadvisedSinkAndDepartedClientLoseWhatWaits) {
    NotificationOutbox outbox(8);
    outbox.post(":1.5", "/s/1", "A", 0);
    auto inFlight = outbox.next();
    ASSERT_TRUE(inFlight);
    outbox.post(":1.5", "/s/1", "B", 0);
    outbox.post(":1.5", "/s/2", "C", 0);
    outbox.post(":1.6", "/s/1", "D", 0);
    outbox.dropSink(":1.5", "/s/1");
    outbox.dropClient(":1.6");
    outbox.dropClient(":1.99");  // never posted to: nothing to forget
    auto forget = outbox.next();
    ASSERT_TRUE(forget);
    EXPECT_EQ(forget->kind, NotificationOutbox::Work::Kind::ForgetClient);
    EXPECT_EQ(forget->notification.client, ":1.6");
    outbox.close();
    auto rest = outbox.next();
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->notification.serial, "C");
    EXPECT_FALSE(outbox.next().has_value());
}

TEST(Outbox, ClosedOutboxRefusesPosts) {
    NotificationOutbox outbox(8);
    outbox.close();
    EXPECT_FALSE(outbox.post(":1.5", "/s/1", "A", 0));
    EXPECT_FALSE(outbox.next().has_value());
}

}  // namespace
}  // namespace qm::ipc
