#include "platform/servicehost/service_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "packaging/templates.h"
#include "platform/servicehost/file_errors.h"

namespace qm::servicehost {
namespace {

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}
bool hasControl(std::string_view text) {
    for (char c : text) {
        if (isControl(c)) {
            return true;
        }
    }
    return false;
}

bool isValidServiceName(std::string_view name) {
    if (name.empty() || name.size() > 200 || name.front() == '.') {
        return false;
    }
    for (char c : name) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_' && c != '.' && c != '-') {
            return false;
        }
    }
    return true;
}

// Two or more elements of [A-Za-z0-9_-], none empty or starting with a digit; 255 at most.
bool isValidBusName(std::string_view name) {
    if (name.empty() || name.size() > 255) {
        return false;
    }
    int elements = 0;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('.', start);
        if (end == std::string_view::npos) {
            end = name.size();
        }
        const std::string_view element = name.substr(start, end - start);
        if (element.empty() || isAsciiDigit(element.front())) {
            return false;
        }
        for (char c : element) {
            if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_' && c != '-') {
                return false;
            }
        }
        ++elements;
        start = end + 1;
    }
    return elements >= 2;
}

// [a-z_][a-z0-9_-]*, at most 32 characters.
bool isValidAccountName(std::string_view name) {
    if (name.empty() || name.size() > 32) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool lower = c >= 'a' && c <= 'z';
        if (!lower && c != '_' && (i == 0 || (!isAsciiDigit(c) && c != '-'))) {
            return false;
        }
    }
    return true;
}

bool isPlainWord(std::string_view word) {
    if (word.empty()) {
        return false;
    }
    for (char c : word) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) &&
            std::string_view("/._+:@=,-").find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// '%' starts a specifier in every systemd setting; "%%" is a plain '%'.
std::string escapeSpecifiers(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%') {
            out += '%';
        }
    }
    return out;
}

std::string systemdWord(std::string_view word) {
    std::string out;
    if (isPlainWord(word)) {
        out = word;
        return out;
    }
    out += '"';
    for (char c : word) {
        switch (c) {
            case '\\':
            case '"':
                out += '\\';
                out += c;
                break;
            case '%':
                out += "%%";
                break;
            case '$':
                out += "$$";
                break;
            default:
                out += c;
        }
    }
    out += '"';
    return out;
}

std::string dbusWord(std::string_view word) {
    std::string out;
    if (isPlainWord(word)) {
        out = word;
        return out;
    }
    out += '\'';
    for (char c : word) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    out += '\'';
    return out;
}

template <typename Quote>
std::string commandLine(const std::string& executable, const std::vector<std::string>& arguments,
                        Quote quote) {
    std::string line = quote(executable);
    for (const std::string& argument : arguments) {
        line += ' ';
        line += quote(argument);
    }
    return line;
}

long lastError() {
    return win32ErrorFromErrno(errno);
}

long createFolders(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return win32ErrorFromErrno(error.value());
    }
    return ERROR_SUCCESS;
}

}  // namespace

long validateDefinition(const ServiceDefinition& definition) {
    const std::filesystem::path executable(definition.executable);
    if (definition.executable.empty() || !executable.is_absolute() ||
        hasControl(definition.executable)) {
        return ERROR_BAD_PATHNAME;
    }
    if (!isValidServiceName(definition.name) || !isValidBusName(definition.busName) ||
        !isValidAccountName(definition.managingGroup) || !isValidAccountName(definition.user) ||
        hasControl(definition.description)) {
        return ERROR_INVALID_PARAMETER;
    }
    for (const std::string& argument : definition.arguments) {
        if (hasControl(argument)) {
            return ERROR_INVALID_PARAMETER;
        }
    }
    return ERROR_SUCCESS;
}

std::string systemdCommandLine(const std::string& executable,
                               const std::vector<std::string>& arguments) {
    return commandLine(executable, arguments, systemdWord);
}

std::string dbusCommandLine(const std::string& executable,
                            const std::vector<std::string>& arguments) {
    return commandLine(executable, arguments, dbusWord);
}

std::optional<std::string> fillTemplate(std::string_view text,
                                        const std::map<std::string, std::string>& values) {
    std::string out;
    std::size_t position = 0;
    while (true) {
        const std::size_t open = text.find("{{", position);
        if (open == std::string_view::npos) {
            out.append(text.substr(position));
            return out;
        }
        const std::size_t close = text.find("}}", open + 2);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        const auto value = values.find(std::string(text.substr(open + 2, close - open - 2)));
        if (value == values.end()) {
            return std::nullopt;
        }
        out.append(text.substr(position, open - position));
        out.append(value->second);
        position = close + 2;
    }
}

long renderServiceFiles(const ServiceDefinition& definition, const InstallLayout& layout,
                        std::vector<RenderedFile>& files) {
    files.clear();
    const long valid = validateDefinition(definition);
    if (valid != ERROR_SUCCESS) {
        return valid;
    }
    const std::map<std::string, std::string> values = {
        {"DESCRIPTION", escapeSpecifiers(definition.description)},
        {"EXEC_START", systemdCommandLine(definition.executable, definition.arguments)},
        {"DBUS_EXEC", dbusCommandLine(definition.executable, definition.arguments)},
        {"BUS_NAME", definition.busName},
        {"GROUP", definition.managingGroup},
        {"USER", definition.user},
        {"UNIT_NAME", layout.unitName()},
    };
    using packaging::Template;
    const std::pair<Template, std::filesystem::path> targets[] = {
        {Template::SystemdUnit, layout.unitFile()},
        {Template::DbusPolicy, layout.dbusPolicyFile()},
        {Template::DbusActivation, layout.dbusActivationFile()},
        {Template::UdevRule, layout.udevRuleFile()},
        {Template::SysusersConfig, layout.sysusersFile()},
        {Template::TmpfilesConfig, layout.tmpfilesFile()},
        {Template::PolkitRule, layout.polkitRuleFile()},
    };
    std::vector<RenderedFile> rendered;
    for (const auto& [which, path] : targets) {
        std::optional<std::string> text = fillTemplate(packaging::templateText(which), values);
        if (!text) {
            return ERROR_INVALID_PARAMETER;
        }
        rendered.push_back({path, std::move(*text)});
    }
    files = std::move(rendered);
    return ERROR_SUCCESS;
}

long writeFileReplacing(const std::filesystem::path& path, std::string_view text) {
    const long folders = createFolders(path.parent_path());
    if (folders != ERROR_SUCCESS) {
        return folders;
    }
    std::string temporary = path.string() + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return lastError();
    }
    long status = ERROR_SUCCESS;
    if (::fchmod(fd, 0644) != 0) {
        status = lastError();
    }
    std::size_t done = 0;
    while (status == ERROR_SUCCESS && done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno != EINTR) {
                status = lastError();
            }
            continue;
        }
        done += static_cast<std::size_t>(written);
    }
    if (status == ERROR_SUCCESS && ::fsync(fd) != 0) {
        status = lastError();
    }
    if (::close(fd) != 0 && status == ERROR_SUCCESS) {
        status = lastError();
    }
    if (status == ERROR_SUCCESS && ::rename(temporary.c_str(), path.c_str()) != 0) {
        status = lastError();
    }
    if (status != ERROR_SUCCESS) {
        ::unlink(temporary.c_str());
    }
    return status;
}

long writeSymlink(const std::filesystem::path& link, const std::filesystem::path& target) {
    const long folders = createFolders(link.parent_path());
    if (folders != ERROR_SUCCESS) {
        return folders;
    }
    const long removed = removeFile(link);
    if (removed != ERROR_SUCCESS) {
        return removed;
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        return lastError();
    }
    return ERROR_SUCCESS;
}

long removeFile(const std::filesystem::path& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return lastError();
    }
    return ERROR_SUCCESS;
}

}  // namespace qm::servicehost
