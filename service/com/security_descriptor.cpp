#include "service/com/security_descriptor.h"

namespace qm::com {
namespace {

constexpr std::uint8_t kSecurityDescriptorRevision = 1;
constexpr std::uint8_t kAclRevision = 2;
constexpr std::uint8_t kSidRevision = 1;
constexpr std::uint8_t kAccessAllowedAceType = 0;
constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kAclHeaderSize = 8;
constexpr std::size_t kAceHeaderSize = 8;  // type, flags, size, mask
constexpr std::size_t kMaxSubAuthorities = 15;

std::size_t sidSize(const Sid& sid) {
    return 8 + 4 * sid.subAuthorities.size();
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void putSid(std::vector<std::uint8_t>& out, const Sid& sid) {
    out.push_back(kSidRevision);
    out.push_back(static_cast<std::uint8_t>(sid.subAuthorities.size()));
    for (int shift = 40; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(sid.authority >> shift));
    }
    for (std::uint32_t sub : sid.subAuthorities) {
        put32(out, sub);
    }
}

// Bounds-checked reads over the descriptor's bytes.
class Reader {
  public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    bool has(std::size_t offset, std::size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    std::uint8_t u8(std::size_t offset) const { return bytes_[offset]; }
    std::uint16_t u16(std::size_t offset) const {
        return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
    }
    std::uint32_t u32(std::size_t offset) const {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | bytes_[offset + static_cast<std::size_t>(i)];
        }
        return value;
    }

    // The SID at `offset` that must end by `limit`.
    std::optional<Sid> sid(std::size_t offset, std::size_t limit) const {
        if (!has(offset, 8) || offset + 8 > limit || u8(offset) != kSidRevision) {
            return std::nullopt;
        }
        const std::size_t count = u8(offset + 1);
        if (count > kMaxSubAuthorities || offset + 8 + 4 * count > limit ||
            !has(offset, 8 + 4 * count)) {
            return std::nullopt;
        }
        Sid sid;
        for (std::size_t i = 0; i < 6; ++i) {
            sid.authority = (sid.authority << 8) | u8(offset + 2 + i);
        }
        for (std::size_t i = 0; i < count; ++i) {
            sid.subAuthorities.push_back(u32(offset + 8 + 4 * i));
        }
        return sid;
    }

  private:
    const std::vector<std::uint8_t>& bytes_;
};

}  // namespace

Sid everyoneSid() {
    return {1, {0}};
}
Sid interactiveSid() {
    return {5, {4}};
}
Sid principalSelfSid() {
    return {5, {10}};
}
Sid localSystemSid() {
    return {5, {18}};
}
Sid administratorsSid() {
    return {5, {32, 544}};
}

std::string sidToString(const Sid& sid) {
    std::string text = "S-1-" + std::to_string(sid.authority);
    for (std::uint32_t sub : sid.subAuthorities) {
        text += '-';
        text += std::to_string(sub);
    }
    return text;
}

std::vector<std::uint8_t> encodeSelfRelative(const SecurityDescriptor& descriptor) {
    std::size_t aclSize = kAclHeaderSize;
    for (const AccessAllowedAce& ace : descriptor.dacl) {
        aclSize += kAceHeaderSize + sidSize(ace.sid);
    }
    const std::size_t daclOffset = kHeaderSize;
    const std::size_t ownerOffset = daclOffset + aclSize;
    const std::size_t groupOffset = ownerOffset + sidSize(descriptor.owner);

    std::vector<std::uint8_t> out;
    out.reserve(groupOffset + sidSize(descriptor.group));
    out.push_back(kSecurityDescriptorRevision);
    out.push_back(0);
    put16(out, descriptor.control);
    put32(out, static_cast<std::uint32_t>(ownerOffset));
    put32(out, static_cast<std::uint32_t>(groupOffset));
    put32(out, 0);  // no SACL
    put32(out, static_cast<std::uint32_t>(daclOffset));

    out.push_back(kAclRevision);
    out.push_back(0);
    put16(out, static_cast<std::uint16_t>(aclSize));
    put16(out, static_cast<std::uint16_t>(descriptor.dacl.size()));
    put16(out, 0);
    for (const AccessAllowedAce& ace : descriptor.dacl) {
        out.push_back(kAccessAllowedAceType);
        out.push_back(0);  // no inheritance flags
        put16(out, static_cast<std::uint16_t>(kAceHeaderSize + sidSize(ace.sid)));
        put32(out, ace.mask);
        putSid(out, ace.sid);
    }
    putSid(out, descriptor.owner);
    putSid(out, descriptor.group);
    return out;
}

std::optional<SecurityDescriptor> decodeSelfRelative(const std::vector<std::uint8_t>& bytes) {
    const Reader in(bytes);
    if (!in.has(0, kHeaderSize) || in.u8(0) != kSecurityDescriptorRevision) {
        return std::nullopt;
    }
    SecurityDescriptor descriptor;
    descriptor.control = in.u16(2);
    const std::uint32_t ownerOffset = in.u32(4);
    const std::uint32_t groupOffset = in.u32(8);
    const std::uint32_t saclOffset = in.u32(12);
    const std::uint32_t daclOffset = in.u32(16);
    if ((descriptor.control & SE_SELF_RELATIVE) == 0 ||
        (descriptor.control & SE_DACL_PRESENT) == 0 || saclOffset != 0) {
        return std::nullopt;
    }
    std::optional<Sid> owner = in.sid(ownerOffset, bytes.size());
    std::optional<Sid> group = in.sid(groupOffset, bytes.size());
    if (!owner || !group || !in.has(daclOffset, kAclHeaderSize) ||
        in.u8(daclOffset) != kAclRevision) {
        return std::nullopt;
    }
    descriptor.owner = std::move(*owner);
    descriptor.group = std::move(*group);

    const std::size_t aclSize = in.u16(daclOffset + 2);
    const std::size_t aceCount = in.u16(daclOffset + 4);
    if (aclSize < kAclHeaderSize || !in.has(daclOffset, aclSize)) {
        return std::nullopt;
    }
    const std::size_t aclEnd = daclOffset + aclSize;
    std::size_t position = daclOffset + kAclHeaderSize;
    for (std::size_t i = 0; i < aceCount; ++i) {
        if (position + kAceHeaderSize > aclEnd || in.u8(position) != kAccessAllowedAceType) {
            return std::nullopt;
        }
        const std::size_t aceSize = in.u16(position + 2);
        if (aceSize < kAceHeaderSize || position + aceSize > aclEnd) {
            return std::nullopt;
        }
        std::optional<Sid> sid = in.sid(position + kAceHeaderSize, position + aceSize);
        if (!sid) {
            return std::nullopt;
        }
        descriptor.dacl.push_back({std::move(*sid), in.u32(position + 4)});
        position += aceSize;
    }
    return descriptor;
}

SecurityDescriptor appIdAccessPermission() {
    const std::uint32_t executeAll =
        COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL | COM_RIGHTS_EXECUTE_REMOTE;
    const std::uint32_t executeLocal = COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL;
    return {SE_SELF_RELATIVE | SE_DACL_PRESENT,
            administratorsSid(),
            administratorsSid(),
            {{principalSelfSid(), executeAll},
             {localSystemSid(), executeLocal},
             {everyoneSid(), executeLocal}}};
}

SecurityDescriptor appIdLaunchPermission() {
    const std::uint32_t local =
        COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL | COM_RIGHTS_ACTIVATE_LOCAL;
    const std::uint32_t all = local | COM_RIGHTS_EXECUTE_REMOTE | COM_RIGHTS_ACTIVATE_REMOTE;
    return {SE_SELF_RELATIVE | SE_DACL_PRESENT,
            administratorsSid(),
            administratorsSid(),
            {{localSystemSid(), local},
             {administratorsSid(), all},
             {everyoneSid(), local},
             {interactiveSid(), local}}};
}

}  // namespace qm::com
