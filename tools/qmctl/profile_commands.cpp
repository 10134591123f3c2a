// The profile commands: profile files in the profile folder, and applying them to the service's
// microphones.
#include <filesystem>
#include <stop_token>

#include "common/profiles/profile_applier.h"
#include "common/profiles/profile_create.h"
#include "common/profiles/profile_data.h"
#include "common/profiles/profile_file.h"
#include "common/profiles/profile_folder.h"
#include "common/profiles/profile_library.h"
#include "common/settings/models.h"
#include "common/text/text.h"
#include "tools/qmctl/command_support.h"
#include "tools/qmctl/exit_codes.h"
#include "tools/qmctl/json_writer.h"
#include "tools/qmctl/profile_report.h"
#include "tools/qmctl/profile_settings_access.h"
#include "tools/qmctl/report_format.h"

namespace qm::qmctl::detail {
namespace {

namespace fs = std::filesystem;
using profiles::CProfile;

// What a profile command works on: its context and the profile folder.
struct ProfileRun {
    const Invocation& invocation;
    CommandContext& context;
    ProfileSettingsAccess& settings;
    fs::path folder;

    int problem(const std::string& message) const {
        context.err << "qmctl: " << printable(message) << '\n';
        return kExitProfile;
    }
};

// A file when the text names one (it has a '/' or ends in ".xml"), else a profile identifier.
bool namesAFile(std::string_view text) {
    return text.find('/') != std::string_view::npos || profiles::hasProfileExtension(text);
}

std::optional<CProfile> resolveProfile(const ProfileRun& run, const std::string& fileOrId,
                                       int& exitCode) {
    if (namesAFile(fileOrId)) {
        CProfile profile;
        std::string error;
        if (profiles::loadProfile(fileOrId, profile, error))
            return profile;
        exitCode = run.problem(fileOrId + " " + error);
        return std::nullopt;
    }
    if (auto found = profiles::findProfile(run.folder, fileOrId))
        return found;
    exitCode = run.problem("no profile with ID \"" + fileOrId + "\" in " + run.folder.string());
    return std::nullopt;
}

// The microphone of a serial with its model (GetName); null after a message.
std::shared_ptr<sdk::IQMDevice> microphone(const ProfileRun& run, const std::string& serial,
                                           std::string& model, int& exitCode) {
    const auto manager = connectManager(run.context, exitCode);
    if (!manager)
        return nullptr;
    auto device = findMicrophone(run.context, *manager, serial, exitCode);
    if (!device)
        return nullptr;
    if (const sdk::HRESULT hr = device->GetName(model); sdk::FAILED(hr)) {
        exitCode = reportFailure(run.context, "GetName", hr);
        return nullptr;
    }
    return device;
}

int list(const ProfileRun& run) {
    std::vector<profiles::ListedProfile> listed = profiles::listProfiles(run.folder);
    std::string empty = "No profiles in " + run.folder.string() + ".";
    if (!run.invocation.arguments.empty()) {
        const std::string& which = run.invocation.arguments[0];
        settings::Model model = settings::modelFromProductName(which);
        if (model == settings::Model::Unknown) {
            std::string product;
            int exitCode = kExitOk;
            if (!microphone(run, which, product, exitCode))
                return exitCode;
            model = settings::modelFromProductName(product);
            empty = "No profiles fit " + which + " (a \"" + product + "\").";
        } else {
            empty = "No profiles for " + std::string(settings::productName(model)) + ".";
        }
        std::erase_if(listed, [model](const auto& entry) { return entry.model != model; });
    }
    run.context.out << (run.invocation.json ? profileListJson(listed)
                                            : profileListText(listed, printable(empty)));
    return kExitOk;
}

int show(const ProfileRun& run) {
    int exitCode = kExitOk;
    const auto profile = resolveProfile(run, run.invocation.arguments[0], exitCode);
    if (!profile)
        return exitCode;
    run.context.out << (run.invocation.json ? profileShowJson(*profile)
                                            : profileShowText(*profile));
    return kExitOk;
}

int save(const ProfileRun& run) {
    const std::string& serial = run.invocation.arguments[0];
    std::string model;
    int exitCode = kExitOk;
    const auto device = microphone(run, serial, model, exitCode);
    if (!device)
        return exitCode;
    std::string error;
    const auto created =
        profiles::createFromDevice(*device, run.folder, run.invocation.arguments[1],
                                   run.invocation.description.value_or(""), error);
    if (!created) {
        if (error == profiles::kDeviceNotReady) {
            run.context.err << "qmctl: " << error << " (the service can't describe "
                            << printable(serial) << ")\n";
            return kExitCallFailed;
        }
        return run.problem(error);
    }
    run.context.out << (run.invocation.json
                            ? profileJson(*created)
                            : printable(serial) + ": saved as profile " + created->id + " (" +
                                  printable(created->path) + ")\n");
    return kExitOk;
}

int apply(const ProfileRun& run) {
    const std::string& serial = run.invocation.arguments[0];
    int exitCode = kExitOk;
    const auto profile = resolveProfile(run, run.invocation.arguments[1], exitCode);
    if (!profile)
        return exitCode;
    std::string model;
    const auto device = microphone(run, serial, model, exitCode);
    if (!device)
        return exitCode;
    // The steps follow the profile's model: another model's profile would set settings this
    // microphone does not have and leave out ones it has.
    if (settings::modelFromProductName(model) != settings::modelFromProductName(profile->model))
        return run.problem("the profile is for a \"" + profile->model + "\", " + serial +
                           " is a \"" + model + "\"");

    std::optional<profiles::RollbackValues> before;
    if (run.invocation.rollback) {
        std::string error;
        before = profiles::readRollbackValues(*device, error);
        if (!before) {
            run.context.err << "qmctl: the settings of " << printable(serial)
                            << " can't be read for a rollback: " << error << '\n';
            return kExitCallFailed;
        }
    }

    profiles::ApplyLog log;
    const bool json = run.invocation.json;
    std::ostream& out = run.context.out;
    log.setListener([json, &out](profiles::ApplyLog::Change change, std::size_t index,
                                 const profiles::ApplyEntry& entry) {
        if (json)
            out << applyEntryJson(change, index, entry) << std::flush;
        else if (!entry.inProgress)
            out << applyEntryText(entry) << std::flush;
    });
    profiles::ClockPacer pacer(run.context.clock, std::stop_token{});
    const profiles::ApplyOutcome outcome =
        profiles::applyProfile(*profile, *device, log, pacer, {}, before ? &*before : nullptr);
    log.setListener({});
    out << (json ? applyOutcomeJson(serial, *profile, outcome)
                 : applyOutcomeText(serial, *profile, outcome));
    return outcome.result == profiles::ApplyOutcome::Result::Applied ? kExitOk : kExitChangeRefused;
}

int rename(const ProfileRun& run) {
    int exitCode = kExitOk;
    auto profile = resolveProfile(run, run.invocation.arguments[0], exitCode);
    if (!profile)
        return exitCode;
    if (run.invocation.profileName)
        profile->name = *run.invocation.profileName;
    if (run.invocation.description)
        profile->description = *run.invocation.description;
    std::string error;
    if (!profiles::saveNameAndDescription(*profile, error))
        return run.problem(profile->path + " " + error);
    run.context.out << "Profile " << printable(profile->id) << ": \"" << printable(profile->name)
                    << "\"" << (profile->description.empty() ? "" : " - ")
                    << printable(profile->description) << '\n';
    return kExitOk;
}

int remove(const ProfileRun& run) {
    int exitCode = kExitOk;
    const auto profile = resolveProfile(run, run.invocation.arguments[0], exitCode);
    if (!profile)
        return exitCode;
    profiles::CProfileData data;
    std::string error;
    if (!profiles::deleteProfile(data, profile->path, error))
        return run.problem(error);
    run.context.out << "Removed profile " << printable(profile->id) << " ("
                    << printable(profile->path) << ")\n";
    return kExitOk;
}

int exportProfile(const ProfileRun& run) {
    int exitCode = kExitOk;
    const auto profile = resolveProfile(run, run.invocation.arguments[0], exitCode);
    if (!profile)
        return exitCode;
    fs::path target = run.invocation.arguments[1];
    std::error_code ec;
    if (fs::is_directory(target, ec))
        target /= fs::path(profile->path).filename();
    if (fs::exists(fs::symlink_status(target, ec)))
        return run.problem(target.string() + " exists already");
    if (!fs::copy_file(profile->path, target, ec))
        return run.problem(target.string() + " can't be written: " + ec.message());
    run.context.out << "Exported profile " << printable(profile->id) << " to "
                    << printable(target.string()) << '\n';
    return kExitOk;
}

int importProfile(const ProfileRun& run) {
    std::string error;
    const auto imported = profiles::importProfile(run.folder, run.invocation.arguments[0], error);
    if (!imported)
        return run.problem(error);
    if (run.invocation.json) {
        run.context.out << profileJson(imported->profile);
        return kExitOk;
    }
    run.context.out << "Imported profile " << printable(imported->profile.id) << " for "
                    << printable(imported->profile.model) << " ("
                    << printable(imported->profile.path) << ")\n";
    if (imported->newId)
        run.context.out << "Its ID " << printable(imported->previousId)
                        << " was taken or unusable; it has a new one.\n";
    return kExitOk;
}

int autoProfile(const ProfileRun& run) {
    const auto& args = run.invocation.arguments;
    std::string model;
    int exitCode = kExitOk;
    const auto device = microphone(run, args[0], model, exitCode);
    if (!device)
        return exitCode;
    std::string serial;
    if (const sdk::HRESULT hr = device->GetDeviceSN(serial); sdk::FAILED(hr))
        return reportFailure(run.context, "GetDeviceSN", hr);
    std::string error;

    if (args.size() == 1 && !run.invocation.off) {
        std::optional<std::string> id;
        if (!run.settings.autoProfile(serial, id, error))
            return run.problem(error);
        if (run.invocation.json) {
            run.context.out << "{\"serial\":" << jsonQuoted(serial)
                            << ",\"autoProfile\":" << (id ? jsonQuoted(*id) : "null") << "}\n";
        } else {
            run.context.out << printable(serial) << ": "
                            << (id ? "automatic profile " + *id : "no automatic profile") << '\n';
        }
        return kExitOk;
    }

    std::optional<std::string> id;
    if (!run.invocation.off) {
        const auto profile = resolveProfile(run, args[1], exitCode);
        if (!profile)
            return exitCode;
        if (fs::path(profile->path).parent_path() !=
            profiles::modelFolder(run.folder, profile->model)) {
            return run.problem("the service takes automatic profiles from " + run.folder.string() +
                               " only; import the file first");
        }
        if (settings::modelFromProductName(model) != settings::modelFromProductName(profile->model))
            return run.problem("the profile is for a \"" + profile->model + "\", " + serial +
                               " is a \"" + model + "\"");
        id = profile->id;
    }
    if (!run.settings.setAutoProfile(serial, id, error))
        return run.problem(error);
    run.context.out << printable(serial) << ": "
                    << (id ? "automatic profile " + *id +
                                 "; the service applies it each time "
                                 "the microphone starts"
                           : "no automatic profile")
                    << '\n';
    return kExitOk;
}

}  // namespace

int runProfileCommand(const Invocation& invocation, CommandContext& context) {
    std::unique_ptr<ProfileSettingsAccess> own;
    if (!context.profileSettings)
        own = std::make_unique<StoreProfileSettings>();
    ProfileSettingsAccess& settingsAccess =
        context.profileSettings ? *context.profileSettings : *own;
    // profile auto has no --folder: the service reads the machine-wide folder.
    ProfileRun run{invocation, context, settingsAccess,
                   invocation.profileFolder ? fs::path(*invocation.profileFolder)
                                            : fs::path(settingsAccess.profileFolder())};
    switch (invocation.command) {
        case Command::ProfileList:
            return list(run);
        case Command::ProfileShow:
            return show(run);
        case Command::ProfileSave:
            return save(run);
        case Command::ProfileApply:
            return apply(run);
        case Command::ProfileRename:
            return rename(run);
        case Command::ProfileRemove:
            return remove(run);
        case Command::ProfileExport:
            return exportProfile(run);
        case Command::ProfileImport:
            return importProfile(run);
        case Command::ProfileAuto:
            return autoProfile(run);
        default:
            context.err << "qmctl: " << commandName(invocation.command)
                        << " is not a profile command\n";
            return kExitUsage;
    }
}

}  // namespace qm::qmctl::detail
