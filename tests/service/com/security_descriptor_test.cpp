#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "service/com/security_descriptor.h"

namespace qm::com {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The AppID's AccessPermission, written out by hand from the Windows layout.
const Bytes kAccessPermission = {
    // SECURITY_DESCRIPTOR_RELATIVE: revision 1, control 0x8004, owner at 0x58, group at 0x68,
    // no SACL, DACL at 0x14.
    0x01, 0x00, 0x04, 0x80, 0x58, 0x00, 0x00, 0x00, 0x68, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x14, 0x00, 0x00, 0x00,
    // ACL: revision 2, size 0x44, three entries.
    0x02, 0x00, 0x44, 0x00, 0x03, 0x00, 0x00, 0x00,
    // ACCESS_ALLOWED_ACE, size 0x14, mask 7, S-1-5-10.
    0x00, 0x00, 0x14, 0x00, 0x07, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05,
    0x0A, 0x00, 0x00, 0x00,
    // mask 3, S-1-5-18.
    0x00, 0x00, 0x14, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05,
    0x12, 0x00, 0x00, 0x00,
    // mask 3, S-1-1-0.
    0x00, 0x00, 0x14, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x00,
    // Owner and group: S-1-5-32-544.
    0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x20, 0x00, 0x00, 0x00, 0x20, 0x02, 0x00, 0x00,
    0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x20, 0x00, 0x00, 0x00, 0x20, 0x02, 0x00, 0x00};

// The LaunchPermission, likewise.
const Bytes kLaunchPermission = {
    0x01, 0x00, 0x04, 0x80, 0x70, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x14, 0x00, 0x00, 0x00,
    // ACL: size 0x5C, four entries.
    0x02, 0x00, 0x5C, 0x00, 0x04, 0x00, 0x00, 0x00,
    // mask 0xB, S-1-5-18.
    0x00, 0x00, 0x14, 0x00, 0x0B, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05,
    0x12, 0x00, 0x00, 0x00,
    // size 0x18, mask 0x1F, S-1-5-32-544.
    0x00, 0x00, 0x18, 0x00, 0x1F, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05,
    0x20, 0x00, 0x00, 0x00, 0x20, 0x02, 0x00, 0x00,
    // mask 0xB, S-1-1-0.
    0x00, 0x00, 0x14, 0x00, 0x0B, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x00,
    // mask 0xB, S-1-5-4.
    0x00, 0x00, 0x14, 0x00, 0x0B, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05,
    0x04, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x20, 0x00, 0x00, 0x00,
    0x20, 0x02, 0x00, 0x00, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x20, 0x00, 0x00, 0x00,
    0x20, 0x02, 0x00, 0x00};

struct Entry {
    std::string sid;
    std::uint32_t mask;
    friend bool operator==(const Entry&, const Entry&) = default;
};

std::vector<Entry> entriesOf(const SecurityDescriptor& descriptor) {
    std::vector<Entry> entries;
    for (const AccessAllowedAce& ace : descriptor.dacl) {
        entries.push_back({sidToString(ace.sid), ace.mask});
    }
    return entries;
}

TEST(SecurityDescriptor, AppIdPermissionsEncodeToTheWindowsBytes) {
    EXPECT_EQ(encodeSelfRelative(appIdAccessPermission()), kAccessPermission);
    EXPECT_EQ(encodeSelfRelative(appIdLaunchPermission()), kLaunchPermission);
}

TEST(SecurityDescriptor, TheBytesDecodeToThePrincipalsAndRights) {
    const auto access = decodeSelfRelative(kAccessPermission);
    ASSERT_TRUE(access.has_value());
    EXPECT_EQ(access->control, 0x8004);
    EXPECT_EQ(sidToString(access->owner), "S-1-5-32-544");
    EXPECT_EQ(sidToString(access->group), "S-1-5-32-544");
    EXPECT_EQ(entriesOf(*access),
              (std::vector<Entry>{{"S-1-5-10", 0x7}, {"S-1-5-18", 0x3}, {"S-1-1-0", 0x3}}));

    const auto launch = decodeSelfRelative(kLaunchPermission);
    ASSERT_TRUE(launch.has_value());
    EXPECT_EQ(entriesOf(*launch),
              (std::vector<Entry>{
                  {"S-1-5-18", 0xB}, {"S-1-5-32-544", 0x1F}, {"S-1-1-0", 0xB}, {"S-1-5-4", 0xB}}));
    EXPECT_EQ(*launch, appIdLaunchPermission());
}

TEST(SecurityDescriptor, LargeAuthoritiesAndSubAuthoritiesKeepTheirByteOrder) {
    const SecurityDescriptor descriptor{SE_SELF_RELATIVE | SE_DACL_PRESENT,
                                        {0x0000010203040506ull, {0xA1B2C3D4u}},
                                        everyoneSid(),
                                        {{{5, {21, 1, 2, 3, 1001}}, 0x80000001u}}};
    const Bytes bytes = encodeSelfRelative(descriptor);
    // Owner right after the DACL: the authority big-endian, the sub-authority little-endian.
    const std::size_t owner = bytes[4];
    EXPECT_EQ(Bytes(bytes.begin() + static_cast<long>(owner),
                    bytes.begin() + static_cast<long>(owner) + 12),
              (Bytes{0x01, 0x01, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xD4, 0xC3, 0xB2, 0xA1}));
    const auto decoded = decodeSelfRelative(bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, descriptor);
    EXPECT_EQ(sidToString(decoded->dacl[0].sid), "S-1-5-21-1-2-3-1001");
}

TEST(SecurityDescriptor, DamagedBytesDecodeToNothing) {
    for (std::size_t length = 0; length < kLaunchPermission.size(); ++length) {
        const Bytes cut(kLaunchPermission.begin(),
                        kLaunchPermission.begin() + static_cast<long>(length));
        EXPECT_FALSE(decodeSelfRelative(cut).has_value()) << length;
    }
    auto changed = [](std::size_t at, std::uint8_t value) {
        Bytes bytes = kAccessPermission;
        bytes[at] = value;
        return decodeSelfRelative(bytes).has_value();
    };
    EXPECT_FALSE(changed(0, 2));      // descriptor revision
    EXPECT_FALSE(changed(3, 0x00));   // not self-relative
    EXPECT_FALSE(changed(2, 0x00));   // no DACL
    EXPECT_FALSE(changed(12, 0x14));  // a SACL
    EXPECT_FALSE(changed(4, 0x77));   // owner beyond the end
    EXPECT_FALSE(changed(20, 1));     // ACL revision
    EXPECT_FALSE(changed(22, 0x70));  // ACL larger than the bytes
    EXPECT_FALSE(changed(24, 4));     // more entries than the ACL holds
    EXPECT_FALSE(changed(28, 1));     // an access-denied entry
    EXPECT_FALSE(changed(30, 0x40));  // entry larger than the ACL
    EXPECT_FALSE(changed(30, 0x04));  // entry smaller than its header
    EXPECT_FALSE(changed(37, 16));    // a SID with 16 sub-authorities
    EXPECT_FALSE(changed(36, 2));     // SID revision
}

}  // namespace
}  // namespace qm::com
