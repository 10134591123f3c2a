#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "packaging/templates.h"
#include "platform/servicehost/file_errors.h"
#include "platform/servicehost/service_files.h"
#include "servicehost_test_support.h"

namespace qm::servicehost {
namespace {

using testing::readFile;

ServiceDefinition definition(const std::string& executable = "/usr/bin/qmMicHost") {
    return testing::testDefinition(executable);
}

std::string fileText(const std::vector<RenderedFile>& files, const std::filesystem::path& path) {
    for (const RenderedFile& file : files) {
        if (file.path == path) {
            return file.text;
        }
    }
    ADD_FAILURE() << "no file " << path;
    return {};
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(ServiceFiles, TheBuiltInTemplatesAreTheSourceFilesByteForByte) {
    const std::filesystem::path folder = std::filesystem::path(QM_SOURCE_DIR) / "packaging";
    using packaging::Template;
    const std::pair<Template, const char*> files[] = {
        {Template::SystemdUnit, "qmMicHost.service.in"},
        {Template::DbusPolicy, "com.quillmere.qmMicHost.conf.in"},
        {Template::DbusActivation, "com.quillmere.qmMicHost.service.in"},
        {Template::UdevRule, "70-qmMicHost.rules.in"},
        {Template::SysusersConfig, "qmMicHost.sysusers.in"},
        {Template::TmpfilesConfig, "qmMicHost.tmpfiles.in"},
        {Template::PolkitRule, "qmMicHost.polkit.in"},
    };
    for (const auto& [which, name] : files) {
        const std::string source = readFile(folder / name);
        ASSERT_FALSE(source.empty()) << name;
        EXPECT_EQ(packaging::templateText(which), source) << name;
    }
}

TEST(ServiceFiles, CommandLinesQuoteWhatTheirReadersWouldTakeApart) {
    EXPECT_EQ(systemdCommandLine("/usr/bin/qmMicHost", {"-Service"}),
              "/usr/bin/qmMicHost -Service");
    EXPECT_EQ(systemdCommandLine("/opt/Quill mere/qmMicHost", {"-Service"}),
              "\"/opt/Quill mere/qmMicHost\" -Service");
    // '%' and '$' would be specifiers and variables; '"' and '\' need escaping inside quotes.
    EXPECT_EQ(systemdCommandLine("/opt/100%/a$b\"c\\d", {}), "\"/opt/100%%/a$$b\\\"c\\\\d\"");
    EXPECT_EQ(systemdCommandLine("/x", {""}), "/x \"\"");

    EXPECT_EQ(dbusCommandLine("/usr/bin/qmMicHost", {"-Service"}), "/usr/bin/qmMicHost -Service");
    EXPECT_EQ(dbusCommandLine("/opt/Quill mere/it's", {"-Service"}),
              "'/opt/Quill mere/it'\\''s' -Service");
}

TEST(ServiceFiles, TemplatesFillOnlyWhenEveryPlaceholderHasAValue) {
    EXPECT_EQ(fillTemplate("a={{A}}, b={{B}}", {{"A", "1"}, {"B", "{{A}}"}}),
              "a=1, b={{A}}");  // values are not filled again
    EXPECT_EQ(fillTemplate("no placeholders", {}), "no placeholders");
    EXPECT_FALSE(fillTemplate("a={{A}} c={{C}}", {{"A", "1"}}).has_value());
    EXPECT_FALSE(fillTemplate("a={{A", {{"A", "1"}}).has_value());
}

TEST(ServiceFiles, DefinitionsThatCantBeWrittenSafelyAreRefused) {
    EXPECT_EQ(validateDefinition(definition()), ERROR_SUCCESS);
    EXPECT_EQ(validateDefinition(definition("qmMicHost")), ERROR_BAD_PATHNAME);
    EXPECT_EQ(validateDefinition(definition("")), ERROR_BAD_PATHNAME);
    EXPECT_EQ(validateDefinition(definition("/usr/bin/qm\nExecStartPre=/bin/evil")),
              ERROR_BAD_PATHNAME);

    auto changed = [](auto change) {
        ServiceDefinition d = definition();
        change(d);
        return validateDefinition(d);
    };
    EXPECT_EQ(changed([](auto& d) { d.description = "two\nlines"; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(changed([](auto& d) { d.arguments = {"-Service\n"}; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(changed([](auto& d) { d.name = "../qm"; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(changed([](auto& d) { d.name = ""; }), ERROR_INVALID_PARAMETER);
    for (const char* bus : {"quillmere", "com..quillmere", "com.1quillmere", "com.quill mere",
                            ".com.quillmere", "com.quillmere."}) {
        EXPECT_EQ(changed([&](auto& d) { d.busName = bus; }), ERROR_INVALID_PARAMETER) << bus;
    }
    for (const char* group : {"", "Quillmere", "9quill", "-quill", "quill\"mere",
                              "a234567890123456789012345678901234"}) {
        EXPECT_EQ(changed([&](auto& d) { d.managingGroup = group; }), ERROR_INVALID_PARAMETER)
            << group;
    }
    EXPECT_EQ(changed([](auto& d) { d.managingGroup = "_quill-mere9"; }), ERROR_SUCCESS);
    EXPECT_EQ(changed([](auto& d) { d.user = ""; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(changed([](auto& d) { d.user = "qm\nmichost"; }), ERROR_INVALID_PARAMETER);
}

TEST(ServiceFiles, TheRenderedFilesSayWhatTheServiceIs) {
    const InstallLayout layout("/stage", "qmMicHost", "com.quillmere.qmMicHost");
    std::vector<RenderedFile> files;
    ASSERT_EQ(renderServiceFiles(definition("/opt/q m/qmMicHost"), layout, files), ERROR_SUCCESS);
    ASSERT_EQ(files.size(), 7u);
    for (const RenderedFile& file : files) {
        EXPECT_FALSE(contains(file.text, "{{")) << file.path;
        EXPECT_EQ(file.path.string().rfind("/stage/", 0), 0u) << file.path;
    }

    // What the unit's sandbox rests on; its exposure rating is checked on the installed file.
    const std::string unit = fileText(files, "/stage/etc/systemd/system/qmMicHost.service");
    for (const char* line :
         {"Type=notify", "ExecStart=\"/opt/q m/qmMicHost\" -Service", "Restart=on-failure",
          "User=qmmichost", "Group=quillmere", "UMask=0007",
          "Description=QUILLMERE\u00AE microphone manager", "ProtectSystem=strict",
          "CapabilityBoundingSet=", "DeviceAllow=char-hidraw rw", "WantedBy=multi-user.target"}) {
        EXPECT_TRUE(contains(unit, "\n" + std::string(line) + "\n")) << line;
    }

    const std::string activation = fileText(
        files, "/stage/usr/local/share/dbus-1/system-services/com.quillmere.qmMicHost.service");
    EXPECT_TRUE(contains(activation,
                         "[D-BUS Service]\nName=com.quillmere.qmMicHost\n"
                         "Exec='/opt/q m/qmMicHost' -Service\nUser=qmmichost\n"
                         "SystemdService=qmMicHost.service\n"));

    const std::string rule = fileText(files, "/stage/etc/udev/rules.d/70-qmMicHost.rules");
    EXPECT_TRUE(contains(rule,
                         "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"10c4\", "
                         "ATTRS{idProduct}==\"eab0\", GROUP=\"quillmere\", MODE=\"0660\""));
    EXPECT_TRUE(contains(rule, "ATTRS{idProduct}==\"ea80\", GROUP=\"quillmere\""));
}

TEST(ServiceFiles, WritingReplacesWholeFilesAndRemovingToleratesMissingOnes) {
    testing::TempFolder folder;
    const std::filesystem::path file = folder.path() / "a" / "b" / "file.conf";
    ASSERT_EQ(writeFileReplacing(file, "first version, longer\n"), ERROR_SUCCESS);
    ASSERT_EQ(writeFileReplacing(file, "second\n"), ERROR_SUCCESS);
    EXPECT_EQ(readFile(file), "second\n");
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);
    // No temporary file stays behind.
    EXPECT_EQ(testing::filesBelow(folder.path()), std::set<std::string>{"a/b/file.conf"});

    EXPECT_EQ(removeFile(file), ERROR_SUCCESS);
    EXPECT_EQ(removeFile(file), ERROR_SUCCESS);
    EXPECT_TRUE(testing::filesBelow(folder.path()).empty());
}

TEST(ServiceFiles, AFileWhereAFolderShouldBeFailsTheWrite) {
    testing::TempFolder folder;
    ASSERT_EQ(writeFileReplacing(folder.path() / "etc", "a file, not a folder"), ERROR_SUCCESS);
    EXPECT_NE(writeFileReplacing(folder.path() / "etc" / "unit.service", "x"), ERROR_SUCCESS);
    EXPECT_NE(writeSymlink(folder.path() / "etc" / "link", "target"), ERROR_SUCCESS);
}

}  // namespace
}  // namespace qm::servicehost
