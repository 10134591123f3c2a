#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Security descriptors in the self-relative binary form Windows stores in registry values
// (SECURITY_DESCRIPTOR_RELATIVE with its SIDs and ACL), for the AppID's access and launch
// permissions. Only what those need: owner, group and a DACL of access-allowed entries.
//
// Layout (all numbers little-endian except a SID's 48-bit authority, which is big-endian):
//   header, 20 bytes: revision 1, 0, control (2), owner offset (4), group offset (4),
//                     SACL offset (4, 0 = none), DACL offset (4)
//   DACL at 20:       revision 2, 0, ACL size (2), ACE count (2), 0 (2), then the ACEs
//   ACE:              type 0 (ACCESS_ALLOWED), flags 0, ACE size (2), mask (4), SID
//   owner, group:     the SIDs, after the DACL
//   SID:              revision 1, sub-authority count, authority (6), sub-authorities (4 each)
namespace qm::com {

struct Sid {
    std::uint64_t authority = 0;  // 48 bits
    std::vector<std::uint32_t> subAuthorities;

    friend bool operator==(const Sid&, const Sid&) = default;
};

struct AccessAllowedAce {
    Sid sid;
    std::uint32_t mask = 0;

    friend bool operator==(const AccessAllowedAce&, const AccessAllowedAce&) = default;
};

struct SecurityDescriptor {
    std::uint16_t control = 0;
    Sid owner;
    Sid group;
    std::vector<AccessAllowedAce> dacl;

    friend bool operator==(const SecurityDescriptor&, const SecurityDescriptor&) = default;
};

inline constexpr std::uint16_t SE_DACL_PRESENT = 0x0004;
inline constexpr std::uint16_t SE_SELF_RELATIVE = 0x8000;

// COM rights in an AppID's permissions.
inline constexpr std::uint32_t COM_RIGHTS_EXECUTE = 0x1;
inline constexpr std::uint32_t COM_RIGHTS_EXECUTE_LOCAL = 0x2;
inline constexpr std::uint32_t COM_RIGHTS_EXECUTE_REMOTE = 0x4;
inline constexpr std::uint32_t COM_RIGHTS_ACTIVATE_LOCAL = 0x8;
inline constexpr std::uint32_t COM_RIGHTS_ACTIVATE_REMOTE = 0x10;

// Well-known principals.
Sid everyoneSid();        // S-1-1-0
Sid interactiveSid();     // S-1-5-4
Sid principalSelfSid();   // S-1-5-10
Sid localSystemSid();     // S-1-5-18
Sid administratorsSid();  // S-1-5-32-544 (BUILTIN\Administrators)

// "S-1-5-32-544".
std::string sidToString(const Sid& sid);

// The self-relative form: header, DACL, owner, group. The control word is written as given
// (SE_SELF_RELATIVE and SE_DACL_PRESENT are the caller's to set).
std::vector<std::uint8_t> encodeSelfRelative(const SecurityDescriptor& descriptor);

// Reads a self-relative descriptor back. Nothing when the bytes are not one: wrong revisions, a
// control word without SE_SELF_RELATIVE or SE_DACL_PRESENT, a SACL, offsets or sizes outside the
// bytes, or an entry other than an access-allowed one.
std::optional<SecurityDescriptor> decodeSelfRelative(const std::vector<std::uint8_t>& bytes);

// The AppID's permissions: owner and group Administrators, control 0x8004, and the DACLs
//   AccessPermission: S-1-5-10 0x7, S-1-5-18 0x3, S-1-1-0 0x3
//   LaunchPermission: S-1-5-18 0xB, S-1-5-32-544 0x1F, S-1-1-0 0xB, S-1-5-4 0xB
SecurityDescriptor appIdAccessPermission();
SecurityDescriptor appIdLaunchPermission();

}  // namespace qm::com
