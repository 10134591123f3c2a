#pragma once

#include <string_view>

// The files that installing the service writes, kept as templates in this folder and built into
// the program, so an installed executable needs nothing beside itself. Placeholders have the
// form {{NAME}}; platform/servicehost fills them in.
namespace qm::packaging {

enum class Template {
    SystemdUnit,     // qmMicHost.service.in
    DbusPolicy,      // com.quillmere.qmMicHost.conf.in
    DbusActivation,  // com.quillmere.qmMicHost.service.in
    UdevRule,        // 70-qmMicHost.rules.in
    SysusersConfig,  // qmMicHost.sysusers.in
    TmpfilesConfig,  // qmMicHost.tmpfiles.in
    PolkitRule,      // qmMicHost.polkit.in
};

// The template's text exactly as in its source file.
std::string_view templateText(Template which);

}  // namespace qm::packaging
