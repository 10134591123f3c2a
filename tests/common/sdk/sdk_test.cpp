#include <gtest/gtest.h>

#include <cstdio>

#include "common/sdk/identifiers.h"
#include "common/sdk/sha1.h"
#include "common/sdk/snapshot_enumerator.h"
#include "support/mock_interfaces.h"

namespace qm::sdk {
namespace {

TEST(HResult, Win32CodesKeepTheirLowSixteenBits) {
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_FOUND), static_cast<HRESULT>(0x80070490u));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_TIMEOUT), static_cast<HRESULT>(0x800705B4u));
    EXPECT_EQ(HRESULT_FROM_WIN32(87), E_INVALIDARG);
    EXPECT_EQ(HRESULT_FROM_WIN32(0x12345), static_cast<HRESULT>(0x80072345u));
    EXPECT_EQ(HRESULT_FROM_WIN32(0), 0);
    EXPECT_EQ(HRESULT_FROM_WIN32(-5), -5);
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_TRUE(FAILED(E_NOINTERFACE));
}

TEST(Guid, ParsingRules) {
    const auto braced = Guid::parseBraced("{dcc305a1-68f8-45ae-b455-515142000986}");
    ASSERT_TRUE(braced.has_value());
    EXPECT_EQ(*braced, APPID_qmMicHost);
    EXPECT_FALSE(Guid::parseBraced("dcc305a1-68f8-45ae-b455-515142000986").has_value());
    EXPECT_FALSE(Guid::parseBraced("{dcc305a1-68f8-45ae-b455-51514200098g}").has_value());
    EXPECT_FALSE(Guid::parseBraced("{dcc305a1+68f8-45ae-b455-515142000986}").has_value());
    EXPECT_FALSE(Guid::parseBraced("").has_value());
    // A container id is accepted with or without braces.
    EXPECT_EQ(Guid::parseContainerId("dcc305a1-68f8-45ae-b455-515142000986"), APPID_qmMicHost);
    EXPECT_EQ(Guid::parseContainerId("{DCC305A1-68F8-45AE-B455-515142000986}"), APPID_qmMicHost);
    EXPECT_FALSE(Guid::parseContainerId("not a guid").has_value());
}

TEST(Guid, RandomIsVersionFourAndRoundTrips) {
    const Guid a = Guid::random();
    const Guid b = Guid::random();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.data3 >> 12, 4);
    EXPECT_EQ(Guid::parseBraced(a.toBracedString()), a);
}

std::shared_ptr<SnapshotEnumerator> enumeratorOf(int count,
                                                 SnapshotEnumerator::Snapshot* devicesOut) {
    SnapshotEnumerator::Snapshot devices;
    for (int i = 0; i < count; ++i) {
        devices.push_back(std::make_shared<::testing::StrictMock<testing::MockQMDevice>>());
    }
    if (devicesOut)
        *devicesOut = devices;
    return std::make_shared<SnapshotEnumerator>(
        std::make_shared<const SnapshotEnumerator::Snapshot>(std::move(devices)));
}

TEST(SnapshotEnumerator, NextReturnsWhatRemainsAndSaysWhenShort) {
    SnapshotEnumerator::Snapshot devices;
    auto e = enumeratorOf(3, &devices);
    std::shared_ptr<IQMDevice> out[5];
    unsigned long fetched = 99;
    EXPECT_EQ(e->Next(5, out, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 3u);
    EXPECT_EQ(out[0], devices[0]);
    EXPECT_EQ(out[2], devices[2]);
    EXPECT_EQ(out[3], nullptr);
    EXPECT_EQ(e->Next(1, out, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Next(1, out, nullptr), S_OK) << "one at a time needs no count";
    EXPECT_EQ(out[0], devices[0]);
}

TEST(SnapshotEnumerator, PointerRules) {
    auto e = enumeratorOf(3, nullptr);
    std::shared_ptr<IQMDevice> out[2];
    unsigned long fetched = 7;
    EXPECT_EQ(e->Next(1, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(fetched, 0u) << "count is cleared before the check";
    EXPECT_EQ(e->Next(2, out, nullptr), E_POINTER);
    EXPECT_EQ(e->Clone(nullptr), E_POINTER);
    // Nothing was consumed by the failed calls.
    EXPECT_EQ(e->Next(2, out, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
}

TEST(SnapshotEnumerator, SkipAndCloneShareTheCopyAtTheSamePosition) {
    SnapshotEnumerator::Snapshot devices;
    auto e = enumeratorOf(3, &devices);
    EXPECT_EQ(e->Skip(0), S_OK);
    EXPECT_EQ(e->Skip(1), S_OK);
    std::shared_ptr<IEnumQMDevice> clone;
    ASSERT_EQ(e->Clone(&clone), S_OK);
    std::shared_ptr<IQMDevice> out;
    ASSERT_EQ(clone->Next(1, &out, nullptr), S_OK);
    EXPECT_EQ(out, devices[1]);
    EXPECT_EQ(e->Skip(5), S_FALSE) << "only two were left in the original";
    ASSERT_EQ(e->Next(1, &out, nullptr), S_FALSE);
    ASSERT_EQ(clone->Next(1, &out, nullptr), S_OK) << "the clone moves on its own";
    EXPECT_EQ(out, devices[2]);
}

TEST(Sha1, KnownDigests) {
    auto hex = [](const Sha1Digest& d) {
        std::string s;
        char b[3];
        for (auto v : d) {
            std::snprintf(b, sizeof b, "%02x", v);
            s += b;
        }
        return s;
    };
    EXPECT_EQ(hex(sha1("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(hex(sha1("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(hex(sha1(std::string(1000, 'a'))), "291e9a6c66994949b57ba5e650361e98fc36b1ba");
}

TEST(Guid, NameBasedIdentifiersAreStableAndVersionFive) {
    // The DNS namespace example: uuid5(NAMESPACE_DNS, "python.org").
    const Guid dns = *Guid::parseBraced("{6ba7b810-9dad-11d1-80b4-00c04fd430c8}");
    EXPECT_EQ(Guid::fromName(dns, "python.org").toPlainString(),
              "886313e1-3b8a-5372-9b90-0c9aee199e5d");
    EXPECT_EQ(Guid::fromName(dns, "a"), Guid::fromName(dns, "a"));
    EXPECT_NE(Guid::fromName(dns, "a"), Guid::fromName(dns, "b"));
}

}  // namespace
}  // namespace qm::sdk
