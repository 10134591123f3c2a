#include "tools/qmreg/commands.h"

#include <optional>
#include <utility>

#include "platform/registry/key_path.h"
#include "platform/registry/status.h"
#include "tools/qmreg/key_name.h"
#include "tools/qmreg/value_text.h"

namespace qm::qmreg {
namespace {

using registry::Access;
using registry::ERROR_SUCCESS;
using registry::Key;
using registry::Value;

struct Io {
    registry::Store& store;
    std::ostream& out;
    std::ostream& err;
};

int usageError(std::ostream& err, const std::string& message) {
    err << "qmreg: " << message << "\nRun \"qmreg --help\" for usage.\n";
    return kExitUsage;
}

int failure(std::ostream& err, const std::string& what, long status) {
    err << "qmreg: " << what << ": " << registry::statusText(status) << " (error " << status
        << ")\n";
    return kExitFailed;
}

std::string valueLabel(const KeyName& key, const std::string& name) {
    return "value " + (name.empty() ? std::string("(Default)") : "\"" + name + "\"") + " of " +
           fullKeyName(key);
}

std::optional<KeyName> keyArgument(const std::string& text, std::ostream& err) {
    auto key = parseKeyName(text);
    if (!key) {
        usageError(err, "\"" + text +
                            "\" is not a key: start with HKLM, HKCU, HKCR or HKU, and keep each "
                            "key name within 255 characters");
    }
    return key;
}

enum class OpenMode { Existing, OrCreate };

// The key named, or nothing once the reason it could not be opened has been reported.
std::optional<Key> openKeyOrReport(Io io, const KeyName& name, Access access,
                                   OpenMode mode = OpenMode::Existing) {
    Key key;
    const long status = mode == OpenMode::OrCreate
                            ? io.store.createKey(name.hive, name.path, access, key)
                            : io.store.openKey(name.hive, name.path, access, key);
    if (status != ERROR_SUCCESS) {
        failure(io.err, fullKeyName(name), status);
        return std::nullopt;
    }
    return key;
}

int query(Io io, const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3) {
        return usageError(io.err, "query takes <key> [name]");
    }
    const auto name = keyArgument(args[1], io.err);
    if (!name) {
        return kExitUsage;
    }
    auto key = openKeyOrReport(io, *name, Access::Read);
    if (!key) {
        return kExitFailed;
    }
    if (args.size() == 3) {
        Value value;
        if (const long status = key->queryValue(args[2], value); status != ERROR_SUCCESS) {
            return failure(io.err, valueLabel(*name, args[2]), status);
        }
        io.out << fullKeyName(*name) << "\n" << queryLine(args[2], value) << "\n";
        return kExitSuccess;
    }

    std::vector<std::string> values;
    std::vector<std::string> subkeys;
    long status = key->enumValues(values);
    if (status == ERROR_SUCCESS) {
        status = key->enumSubkeys(subkeys);
    }
    if (status != ERROR_SUCCESS) {
        return failure(io.err, fullKeyName(*name), status);
    }
    io.out << fullKeyName(*name) << "\n";
    for (const std::string& valueName : values) {
        Value value;
        if (key->queryValue(valueName, value) == ERROR_SUCCESS) {
            io.out << queryLine(valueName, value) << "\n";
        }
    }
    if (!subkeys.empty()) {
        io.out << "\n";
    }
    for (const std::string& subkey : subkeys) {
        io.out << registry::joinKeyPath(fullKeyName(*name), subkey) << "\n";
    }
    return kExitSuccess;
}

int set(Io io, const std::vector<std::string>& args) {
    if (args.size() != 5) {
        return usageError(io.err, "set takes <key> <name> <type> <value>");
    }
    const auto name = keyArgument(args[1], io.err);
    if (!name) {
        return kExitUsage;
    }
    const auto type = parseValueType(args[3]);
    if (!type) {
        return usageError(io.err, "unknown type \"" + args[3] +
                                      "\": use REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_QWORD, "
                                      "REG_BINARY or REG_NONE");
    }
    std::string error;
    const auto value = parseValueData(*type, args[4], error);
    if (!value) {
        return usageError(io.err, "\"" + args[4] + "\" is not valid data: " + error);
    }
    auto key = openKeyOrReport(io, *name, Access::ReadWrite, OpenMode::OrCreate);
    if (!key) {
        return kExitFailed;
    }
    if (const long status = key->setValue(args[2], *value); status != ERROR_SUCCESS) {
        return failure(io.err, valueLabel(*name, args[2]), status);
    }
    return kExitSuccess;
}

int remove(Io io, const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3) {
        return usageError(io.err, "delete takes <key> [name]");
    }
    const auto name = keyArgument(args[1], io.err);
    if (!name) {
        return kExitUsage;
    }
    if (args.size() == 3) {
        auto key = openKeyOrReport(io, *name, Access::ReadWrite);
        if (!key) {
            return kExitFailed;
        }
        if (const long status = key->deleteValue(args[2]); status != ERROR_SUCCESS) {
            return failure(io.err, valueLabel(*name, args[2]), status);
        }
        return kExitSuccess;
    }
    if (name->path.empty()) {
        return usageError(io.err, "refusing to delete a whole hive; name a key inside it");
    }
    if (const long status = io.store.deleteTree(name->hive, name->path); status != ERROR_SUCCESS) {
        return failure(io.err, fullKeyName(*name), status);
    }
    return kExitSuccess;
}

// Writes one block per key, the key first and then its subkeys in order, depth first.
int exportTree(Io io, const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return usageError(io.err, "export takes <key>");
    }
    const auto name = keyArgument(args[1], io.err);
    if (!name) {
        return kExitUsage;
    }
    auto top = openKeyOrReport(io, *name, Access::Read);
    if (!top) {
        return kExitFailed;
    }
    int exitCode = kExitSuccess;
    std::vector<std::pair<Key, std::string>> pending;
    pending.emplace_back(std::move(*top), fullKeyName(*name));
    bool first = true;
    while (!pending.empty()) {
        auto [key, label] = std::move(pending.back());
        pending.pop_back();
        std::vector<std::string> values;
        std::vector<std::string> subkeys;
        long status = key.enumValues(values);
        if (status == ERROR_SUCCESS) {
            status = key.enumSubkeys(subkeys);
        }
        if (status != ERROR_SUCCESS) {
            exitCode = failure(io.err, label, status);
            continue;
        }
        io.out << (first ? "" : "\n") << "[" << label << "]\n";
        first = false;
        for (const std::string& valueName : values) {
            Value value;
            if (key.queryValue(valueName, value) == ERROR_SUCCESS) {
                io.out << exportLine(valueName, value) << "\n";
            }
        }
        for (auto it = subkeys.rbegin(); it != subkeys.rend(); ++it) {
            Key child;
            if (const long opened = key.openSubkey(*it, Access::Read, child);
                opened != ERROR_SUCCESS) {
                exitCode = failure(io.err, registry::joinKeyPath(label, *it), opened);
                continue;
            }
            pending.emplace_back(std::move(child), registry::joinKeyPath(label, *it));
        }
    }
    return exitCode;
}

}  // namespace

std::string usage() {
    return "Usage:\n"
           "  qmreg query <key> [name]               show a key's values and subkeys, or one "
           "value\n"
           "  qmreg set <key> <name> <type> <value>  store a value, creating the key if needed\n"
           "  qmreg delete <key> [name]              delete a value, or a key with everything "
           "under it\n"
           "  qmreg export <key>                     write a key and its subkeys as text\n"
           "  qmreg --help                           show this text\n"
           "\n"
           "A key is a hive and a path: HKLM\\SOFTWARE\\QUILLMERE\\qmCore\\Devices.\n"
           "Hives: HKLM (HKEY_LOCAL_MACHINE), HKCU (HKEY_CURRENT_USER), HKCR "
           "(HKEY_CLASSES_ROOT),\n"
           "       HKU (HKEY_USERS). Key and value names ignore ASCII case.\n"
           "An empty name (\"\") is the key's default value.\n"
           "Types and values:\n"
           "  REG_SZ, REG_EXPAND_SZ  text\n"
           "  REG_DWORD, REG_QWORD   decimal, or hexadecimal after 0x\n"
           "  REG_BINARY, REG_NONE   hexadecimal bytes: \"01 a0 ff\" or \"01,a0,ff\"\n"
           "\n"
           "The store files: QM_REGISTRY_DIR=<folder> keeps every hive in that folder;\n"
           "QM_REGISTRY_USER names the current user.\n"
           "Exit codes: 0 done, 1 not found or refused by the store, 2 bad usage.\n";
}

int run(const std::vector<std::string>& args, registry::Store& store, std::ostream& out,
        std::ostream& err) {
    if (args.empty()) {
        err << usage();
        return kExitUsage;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << usage();
        return kExitSuccess;
    }
    const Io io{store, out, err};
    if (command == "query") {
        return query(io, args);
    }
    if (command == "set") {
        return set(io, args);
    }
    if (command == "delete") {
        return remove(io, args);
    }
    if (command == "export") {
        return exportTree(io, args);
    }
    return usageError(err, "unknown command \"" + command + "\"");
}

}  // namespace qm::qmreg
