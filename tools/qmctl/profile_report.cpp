#include "tools/qmctl/profile_report.h"

#include "common/profiles/apply_steps.h"
#include "common/settings/setting_table.h"
#include "tools/qmctl/json_writer.h"
#include "tools/qmctl/report_format.h"

namespace qm::qmctl {
namespace {

using profiles::ApplyOutcome;
using profiles::CProfile;

std::string_view settingName(settings::Setting s) {
    return settings::settingInfo(s).registryName;
}

std::string_view imageName(profiles::EntryImage image) {
    switch (image) {
        case profiles::EntryImage::Success:
            return "success";
        case profiles::EntryImage::Error:
            return "error";
        case profiles::EntryImage::InProgress:
            break;
    }
    return "in-progress";
}

std::string_view resultName(ApplyOutcome::Result result) {
    switch (result) {
        case ApplyOutcome::Result::Applied:
            return "applied";
        case ApplyOutcome::Result::StepFailed:
            return "step-failed";
        case ApplyOutcome::Result::Stopped:
            break;
    }
    return "stopped";
}

void profileMembers(JsonWriter& json, const CProfile& profile) {
    json.member("id", profile.id)
        .member("name", profile.name)
        .member("description", profile.description)
        .member("model", profile.model)
        .member("serial", profile.serial)
        .member("path", profile.path);
}

std::string labelOf(int step) {
    return std::string(profiles::applySteps()[static_cast<std::size_t>(step - 1)].label);
}

}  // namespace

std::string profileListText(const std::vector<profiles::ListedProfile>& listed,
                            std::string_view empty) {
    if (listed.empty())
        return std::string(empty) + "\n";
    std::string out;
    std::optional<settings::Model> group;
    for (const profiles::ListedProfile& entry : listed) {
        if (entry.model != group) {
            group = entry.model;
            out += std::string(settings::productName(entry.model)) + "\n";
        }
        const CProfile& p = entry.profile;
        if (!entry.error.empty()) {
            out += "  (unreadable) " + printable(p.path) + ": " + printable(entry.error) + "\n";
            continue;
        }
        out += "  " + printable(p.id) + "  " + printable(p.name);
        if (!p.description.empty())
            out += " - " + printable(p.description);
        out += "\n";
    }
    return out;
}

std::string profileListJson(const std::vector<profiles::ListedProfile>& listed) {
    JsonWriter json;
    json.beginObject().key("profiles").beginArray();
    for (const profiles::ListedProfile& entry : listed) {
        json.beginObject();
        profileMembers(json, entry.profile);
        json.member("folder", settings::productName(entry.model)).key("error");
        if (entry.error.empty())
            json.null();
        else
            json.string(entry.error);
        json.endObject();
    }
    json.endArray().endObject();
    return json.text() + '\n';
}

std::string profileShowText(const CProfile& p) {
    std::string out = "Profile " + printable(p.id) + "\n";
    const auto line = [&out](std::string_view label, std::string_view value) {
        std::string padded(label);
        padded.resize(15, ' ');
        out += "  " + padded + printable(value) + "\n";
    };
    line("Name", p.name);
    line("Description", p.description);
    line("Model", p.model);
    line("Saved from", p.serial);
    line("File", p.path);
    out += "  Settings\n";
    for (std::size_t i = 0; i < settings::kSettingCount; ++i) {
        const settings::Setting s = settings::settingAt(i);
        std::string name(settingName(s));
        name.resize(15, ' ');
        out += "    " + name + (p.values[i].empty() ? "(none)" : printable(p.values[i])) + "\n";
    }
    return out;
}

std::string profileShowJson(const CProfile& p) {
    JsonWriter json;
    json.beginObject();
    profileMembers(json, p);
    json.key("settings").beginObject();
    for (std::size_t i = 0; i < settings::kSettingCount; ++i)
        json.member(settingName(settings::settingAt(i)), p.values[i]);
    json.endObject().endObject();
    return json.text() + '\n';
}

std::string profileJson(const CProfile& profile) {
    JsonWriter json;
    json.beginObject();
    profileMembers(json, profile);
    json.endObject();
    return json.text() + '\n';
}

std::string applyEntryText(const profiles::ApplyEntry& entry) {
    return printable(entry.text) + "\n";
}

std::string applyEntryJson(profiles::ApplyLog::Change change, std::size_t index,
                           const profiles::ApplyEntry& entry) {
    JsonWriter json;
    json.beginObject()
        .member("event", change == profiles::ApplyLog::Change::Added ? "added" : "changed")
        .member("index", static_cast<std::int64_t>(index))
        .member("text", entry.text)
        .member("state", imageName(entry.image))
        .endObject();
    return json.text() + '\n';
}

std::string applyOutcomeText(std::string_view serial, const CProfile& profile,
                             const ApplyOutcome& outcome) {
    const std::string who = printable(serial) + ": ";
    std::string out;
    switch (outcome.result) {
        case ApplyOutcome::Result::Applied:
            out = who + "profile \"" + printable(profile.name) + "\" applied, " +
                  std::to_string(outcome.steps.size()) + " settings acknowledged\n";
            break;
        case ApplyOutcome::Result::StepFailed:
            out = who + "step " + std::to_string(*outcome.failedStep) + " (" +
                  labelOf(*outcome.failedStep) + ") was not acknowledged after " +
                  std::to_string(outcome.steps.back().attempts) +
                  " attempts; the steps after it were not made\n";
            break;
        case ApplyOutcome::Result::Stopped:
            out = who + "the apply was stopped\n";
            break;
    }
    if (outcome.restored.empty())
        return out;
    std::string restored;
    std::string refused;
    for (const profiles::RestoreRecord& r : outcome.restored) {
        std::string& list = r.acknowledged ? restored : refused;
        list += (list.empty() ? "" : ", ") + std::string(settingName(r.setting)) + "=" +
                std::to_string(r.value);
    }
    if (!restored.empty())
        out += who + "set back " + restored + "\n";
    if (!refused.empty())
        out += who + "sent back but not acknowledged: " + refused + "\n";
    return out;
}

std::string applyOutcomeJson(std::string_view serial, const CProfile& profile,
                             const ApplyOutcome& outcome) {
    JsonWriter json;
    json.beginObject()
        .member("event", "finished")
        .member("serial", serial)
        .member("profile", profile.id)
        .member("result", resultName(outcome.result))
        .key("failedStep");
    if (outcome.failedStep)
        json.number(*outcome.failedStep);
    else
        json.null();
    json.key("steps").beginArray();
    for (const profiles::StepRecord& s : outcome.steps) {
        json.beginObject()
            .member("step", s.step)
            .member("setting", settingName(s.setting))
            .member("value", static_cast<int>(s.value))
            .member("attempts", s.attempts)
            .member("acknowledged", s.acknowledged)
            .endObject();
    }
    json.endArray().key("restored").beginArray();
    for (const profiles::RestoreRecord& r : outcome.restored) {
        json.beginObject()
            .member("setting", settingName(r.setting))
            .member("value", static_cast<int>(r.value))
            .member("acknowledged", r.acknowledged)
            .endObject();
    }
    json.endArray().endObject();
    return json.text() + '\n';
}

}  // namespace qm::qmctl
