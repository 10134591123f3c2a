// The documents the package ships say what the code does: the interface definition documents
// every method and argument, the D-Bus reference gives the result codes and states, and qmctl's
// manual page and bash completion know every command and every setting qmctl takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "common/sdk/hresult.h"
#include "common/sdk/identifiers.h"
#include "common/settings/setting_table.h"
#include "tools/qmctl/command_line.h"

namespace qm {
namespace {

const std::filesystem::path kSource(QM_SOURCE_DIR);

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << path;
    return text.str();
}

std::string hex(sdk::HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// The words of a shell variable assignment NAME="..." in the completion script.
std::set<std::string> shellWords(const std::string& script, const std::string& variable) {
    const std::regex assignment(variable + "=\"([^\"]*)\"");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(script, match, assignment)) << variable;
    std::istringstream words(match[1]);
    std::set<std::string> out;
    for (std::string word; words >> word;) {
        out.insert(word);
    }
    return out;
}

// The comment before each method of the interface definition starts with the method's name and
// gives a line "@name: ..." for each of its arguments but the result code, and for no other name.
TEST(Documents, TheInterfaceDefinitionDocumentsEveryMethodAndArgument) {
    pugi::xml_document definition;
    ASSERT_TRUE(definition.load_file(QM_INTERFACE_XML, pugi::parse_default | pugi::parse_comments));
    static const std::regex documentedName("@(\\w+): \\S");
    int methods = 0;
    for (const pugi::xml_node& interface : definition.child("node").children("interface")) {
        for (const pugi::xml_node& method : interface.children("method")) {
            const std::string name = method.attribute("name").as_string();
            const pugi::xml_node comment = method.previous_sibling();
            ASSERT_EQ(comment.type(), pugi::node_comment) << name;
            const std::string text = comment.value();
            EXPECT_EQ(text.find_first_not_of(" \n"), text.find(name + ", slot ")) << name;
            std::set<std::string> arguments;
            for (const pugi::xml_node& arg : method.children("arg")) {
                if (std::string(arg.attribute("name").as_string()) != "hr") {
                    arguments.insert(arg.attribute("name").as_string());
                }
            }
            std::set<std::string> documented;
            for (auto it = std::sregex_iterator(text.begin(), text.end(), documentedName);
                 it != std::sregex_iterator(); ++it) {
                documented.insert((*it)[1]);
            }
            EXPECT_EQ(documented, arguments) << name;
            ++methods;
        }
    }
    EXPECT_GT(methods, 0);
}

TEST(Documents, TheDbusReferenceGivesTheResultCodesAndNotificationStates) {
    const std::string reference = readText(kSource / "docs" / "dbus.md");
    const std::pair<sdk::HRESULT, const char*> results[] = {
        {sdk::S_OK, "S_OK"},
        {sdk::S_FALSE, "S_FALSE"},
        {sdk::E_NOINTERFACE, "E_NOINTERFACE"},
        {sdk::E_POINTER, "E_POINTER"},
        {sdk::E_FAIL, "E_FAIL"},
        {sdk::E_INVALIDARG, "E_INVALIDARG"},
        {sdk::E_ACCESSDENIED, "E_ACCESSDENIED"}};
    for (const auto& [value, name] : results) {
        EXPECT_NE(reference.find("| " + hex(value) + " | `" + name + "` |"), std::string::npos)
            << name;
    }
    const std::pair<int, const char*> states[] = {
        {sdk::QM_NOTIFY_SERVICE_RELEASE, "QM_NOTIFY_SERVICE_RELEASE"},
        {sdk::QM_NOTIFY_STOPPED, "QM_NOTIFY_STOPPED"},
        {sdk::QM_NOTIFY_STARTED, "QM_NOTIFY_STARTED"},
        {sdk::QM_NOTIFY_NEW, "QM_NOTIFY_NEW"},
        {sdk::QM_NOTIFY_REMOVED, "QM_NOTIFY_REMOVED"},
        {sdk::QM_NOTIFY_INACTIVE_REMOVED, "QM_NOTIFY_INACTIVE_REMOVED"},
        {sdk::QM_NOTIFY_PROFILE_APPLIED, "QM_NOTIFY_PROFILE_APPLIED"},
        {sdk::QM_NOTIFY_PROFILE_FAILED, "QM_NOTIFY_PROFILE_FAILED"}};
    for (const auto& [value, name] : states) {
        EXPECT_NE(reference.find("| " + std::to_string(value) + " | `" + name + "` |"),
                  std::string::npos)
            << name;
    }
}

TEST(Documents, QmctlsManualAndCompletionKnowEveryCommandAndSetting) {
    const std::string manual = readText(kSource / "docs" / "man" / "qmctl.1.scd");
    const std::string completion = readText(kSource / "packaging" / "qmctl.bash-completion");

    std::set<std::string> commands;
    std::map<std::string, std::set<std::string>> groups;  // "sim", "profile": their commands
    for (qmctl::Command command : qmctl::allCommands()) {
        const std::string name(qmctl::commandName(command));
        EXPECT_NE(manual.find("\n*" + name + "*"), std::string::npos) << name;
        if (const auto space = name.find(' '); space != std::string::npos) {
            commands.insert(name.substr(0, space));
            groups[name.substr(0, space)].insert(name.substr(space + 1));
        } else {
            commands.insert(name);
        }
    }
    EXPECT_EQ(shellWords(completion, "_qmctl_commands"), commands);
    EXPECT_EQ(shellWords(completion, "_qmctl_sim_commands"), groups["sim"]);
    EXPECT_EQ(shellWords(completion, "_qmctl_profile_commands"), groups["profile"]);

    std::set<std::string> writable;
    for (const settings::SettingInfo& info : settings::settingTable()) {
        if (!info.changedBy.empty()) {
            writable.insert(std::string(info.registryName));
            EXPECT_NE(manual.find(std::string(info.registryName)), std::string::npos)
                << info.registryName;
        }
    }
    EXPECT_EQ(shellWords(completion, "_qmctl_settings"), writable);
}

}  // namespace
}  // namespace qm
