#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/servicehost/install_layout.h"
#include "platform/servicehost/service_definition.h"

// The files that make a program a systemd service with a bus name and device access, filled in
// from the templates of packaging/, and the careful writing and removing of them.
namespace qm::servicehost {

struct RenderedFile {
    std::filesystem::path path;
    std::string text;
};

// Checks that every part of the definition can be written into the files as it stands: a name of
// letters, digits, '_', '.', '-'; a bus name of two or more dot-separated elements; a user and a
// group name as useradd accepts them; an absolute executable path; no control characters
// anywhere.
// ERROR_SUCCESS, ERROR_BAD_PATHNAME (executable) or ERROR_INVALID_PARAMETER.
long validateDefinition(const ServiceDefinition& definition);

// The command line as systemd's ExecStart= reads it: a word with characters other than letters,
// digits and "/._+:@=,-" is double-quoted with '\' and '"' escaped; '%' and '$' are doubled so
// that systemd takes them as they stand.
std::string systemdCommandLine(const std::string& executable,
                               const std::vector<std::string>& arguments);
// The command line as a D-Bus activation file's Exec= reads it: such a word is single-quoted, a
// quote inside it written as '\''.
std::string dbusCommandLine(const std::string& executable,
                            const std::vector<std::string>& arguments);

// Replaces every {{NAME}} with values[NAME]. Nothing when a placeholder has no value or isn't
// closed, so no half-filled file is ever written.
std::optional<std::string> fillTemplate(std::string_view text,
                                        const std::map<std::string, std::string>& values);

// The unit, the D-Bus policy and activation files, the udev rule, the sysusers and tmpfiles
// entries and the polkit rule, in that order, with their paths under the layout's root. Fails as
// validateDefinition does.
long renderServiceFiles(const ServiceDefinition& definition, const InstallLayout& layout,
                        std::vector<RenderedFile>& files);

// Writes `text` to a temporary file beside `path` and renames it over `path`, so the file is
// either the old one or the new one, never a part. Missing folders are created (mode 0755); the
// file gets mode 0644.
long writeFileReplacing(const std::filesystem::path& path, std::string_view text);
// Makes `link` a symbolic link to `target`, replacing whatever file or link is there.
long writeSymlink(const std::filesystem::path& link, const std::filesystem::path& target);
// Removes a file or link; one that isn't there counts as removed.
long removeFile(const std::filesystem::path& path);

}  // namespace qm::servicehost
