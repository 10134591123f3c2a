#include "common/profiles/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <pugixml.hpp>
#include <sstream>
#include <system_error>

#include "common/text/text.h"

namespace qm::profiles {
namespace {

std::string saved(const pugi::xml_document& document) {
    std::ostringstream out;
    document.save(out, "\t", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

std::string systemError(int code) {
    return std::generic_category().message(code);
}

// Reads and parses a profile file; its declaration stays in the document so that a rewrite
// keeps it.
bool parseFile(const std::filesystem::path& path, pugi::xml_document& document,
               std::string& error) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        error = "can't be read: " + ec.message();
        return false;
    }
    if (size > kMaxProfileFileBytes) {
        error = "is too large to be a profile";
        return false;
    }
    const pugi::xml_parse_result parsed =
        document.load_file(path.c_str(), pugi::parse_default | pugi::parse_declaration);
    if (parsed.status == pugi::status_file_not_found || parsed.status == pugi::status_io_error) {
        error = std::string("can't be read: ") + parsed.description();
        return false;
    }
    if (!parsed) {
        error = text::format("is not XML: %s at offset %lld", parsed.description(),
                             static_cast<long long>(parsed.offset));
        return false;
    }
    return true;
}

// Writes `bytes` to `path` through a new file in the same folder that is renamed over it. A
// replaced file keeps its permissions; a new one gets the process's default ones.
bool replaceFile(const std::filesystem::path& path, const std::string& bytes, std::string& error) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path temporary =
        path.parent_path() / text::format(".%s.%ld-%u.tmp", path.filename().c_str(),
                                          static_cast<long>(::getpid()), counter.fetch_add(1));
    struct stat existing {};
    const bool replacing = ::stat(path.c_str(), &existing) == 0;
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        error = "can't be written: " + systemError(errno);
        return false;
    }
    int failure = 0;
    if (replacing && ::fchmod(fd, existing.st_mode & 07777) != 0)
        failure = errno;
    std::size_t done = 0;
    while (failure == 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0)
            failure = EIO;
        else if (errno != EINTR)
            failure = errno;
    }
    if (failure == 0 && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        failure = errno;
    if (failure == 0)
        return true;
    error = "can't be written: " + systemError(failure);
    ::unlink(temporary.c_str());
    return false;
}

}  // namespace

bool loadProfile(const std::filesystem::path& path, CProfile& record, std::string& error) {
    pugi::xml_document document;
    if (!parseFile(path, document, error))
        return false;
    const pugi::xml_node profile = document.child("Profile");
    if (!profile) {
        error = "has no Profile element";
        return false;
    }
    record.id = profile.attribute("ProfileID").value();
    record.name = profile.attribute("ProfileName").value();
    record.description = profile.attribute("ProfileDesc").value();
    const pugi::xml_node device = profile.child("Device");
    if (!device) {
        error = "has no Device element";
        return false;
    }
    record.path = path.string();
    record.serial = device.attribute("SN").value();
    record.model = device.attribute("Name").value();
    for (std::size_t i = 0; i < settings::kSettingCount; ++i) {
        const std::string attribute(profileAttribute(settings::settingAt(i)));
        record.values[i] = device.attribute(attribute.c_str()).value();
    }
    return true;
}

bool rewriteProfileFile(const std::filesystem::path& source, const std::filesystem::path& target,
                        const ProfileTexts& texts, std::string& error) {
    pugi::xml_document document;
    if (!parseFile(source, document, error))
        return false;
    pugi::xml_node profile = document.child("Profile");
    if (!profile) {
        error = "has no Profile element";
        return false;
    }
    if (texts.id) {
        pugi::xml_attribute id = profile.attribute("ProfileID");
        if (!id)
            id = profile.prepend_attribute("ProfileID");
        id.set_value(texts.id->c_str());
    }
    if (pugi::xml_attribute name = profile.attribute("ProfileName"); name && texts.name)
        name.set_value(texts.name->c_str());
    if (pugi::xml_attribute description = profile.attribute("ProfileDesc");
        description && texts.description)
        description.set_value(texts.description->c_str());
    return replaceFile(target, saved(document), error);
}

bool saveNameAndDescription(const CProfile& record, std::string& error) {
    return rewriteProfileFile(record.path, record.path,
                              {std::nullopt, record.name, record.description}, error);
}

std::string profileDocument(const CProfile& record) {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";

    pugi::xml_node profile = document.append_child("Profile");
    profile.append_attribute("ProfileID") = record.id.c_str();
    profile.append_attribute("ProfileName") = record.name.c_str();
    profile.append_attribute("ProfileDesc") = record.description.c_str();

    pugi::xml_node device = profile.append_child("Device");
    device.append_attribute("SN") = record.serial.c_str();
    device.append_attribute("Name") = record.model.c_str();
    for (std::size_t i = 0; i < settings::kSettingCount; ++i) {
        const std::string attribute(profileAttribute(settings::settingAt(i)));
        device.append_attribute(attribute.c_str()) = record.values[i].c_str();
    }
    return saved(document);
}

bool writeProfile(const CProfile& record, std::string& error) {
    return replaceFile(record.path, profileDocument(record), error);
}

}  // namespace qm::profiles
