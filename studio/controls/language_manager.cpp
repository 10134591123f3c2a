#include "studio/controls/language_manager.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <array>

#include "platform/registry/status.h"
#include "platform/registry/value_rules.h"

namespace qm::studio::controls {
namespace {

struct LanguageCode {
    QLocale::Language language;
    QLocale::Territory territory;  // AnyTerritory: the language's main identifier
    std::uint32_t id;
};

// Windows language identifiers of the languages a translation is likely to be made for.
constexpr std::array<LanguageCode, 32> kLanguageCodes = {{
    {QLocale::English, QLocale::UnitedStates, 1033},
    {QLocale::English, QLocale::UnitedKingdom, 2057},
    {QLocale::English, QLocale::AnyTerritory, 1033},
    {QLocale::German, QLocale::Germany, 1031},
    {QLocale::German, QLocale::AnyTerritory, 1031},
    {QLocale::French, QLocale::France, 1036},
    {QLocale::French, QLocale::AnyTerritory, 1036},
    {QLocale::Spanish, QLocale::Spain, 3082},
    {QLocale::Spanish, QLocale::AnyTerritory, 3082},
    {QLocale::Italian, QLocale::AnyTerritory, 1040},
    {QLocale::Portuguese, QLocale::Brazil, 1046},
    {QLocale::Portuguese, QLocale::AnyTerritory, 2070},
    {QLocale::Dutch, QLocale::AnyTerritory, 1043},
    {QLocale::Russian, QLocale::AnyTerritory, 1049},
    {QLocale::Ukrainian, QLocale::AnyTerritory, 1058},
    {QLocale::Polish, QLocale::AnyTerritory, 1045},
    {QLocale::Czech, QLocale::AnyTerritory, 1029},
    {QLocale::Slovak, QLocale::AnyTerritory, 1051},
    {QLocale::Hungarian, QLocale::AnyTerritory, 1038},
    {QLocale::Romanian, QLocale::AnyTerritory, 1048},
    {QLocale::Bulgarian, QLocale::AnyTerritory, 1026},
    {QLocale::Greek, QLocale::AnyTerritory, 1032},
    {QLocale::Turkish, QLocale::AnyTerritory, 1055},
    {QLocale::Swedish, QLocale::AnyTerritory, 1053},
    {QLocale::Danish, QLocale::AnyTerritory, 1030},
    {QLocale::NorwegianBokmal, QLocale::AnyTerritory, 1044},
    {QLocale::Finnish, QLocale::AnyTerritory, 1035},
    {QLocale::Japanese, QLocale::AnyTerritory, 1041},
    {QLocale::Korean, QLocale::AnyTerritory, 1042},
    {QLocale::Chinese, QLocale::Taiwan, 1028},
    {QLocale::Chinese, QLocale::AnyTerritory, 2052},
    {QLocale::Hebrew, QLocale::AnyTerritory, 1037},
}};

QString displayName(const QLocale& locale) {
    QString name = locale.nativeLanguageName();
    if (!name.isEmpty()) {
        name[0] = name[0].toUpper();
    }
    const QString territory = locale.nativeTerritoryName();
    if (!territory.isEmpty()) {
        name += QStringLiteral(" (") + territory + QLatin1Char(')');
    }
    return name;
}

}  // namespace

LanguageManager::LanguageManager(registry::Store& store, std::string settingsKeyPath,
                                 std::string valueName, QString folder, QString filePrefix)
    : store_(store),
      keyPath_(std::move(settingsKeyPath)),
      valueName_(std::move(valueName)),
      folder_(std::move(folder)),
      prefix_(std::move(filePrefix)) {}

LanguageManager::~LanguageManager() {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

std::optional<std::uint32_t> LanguageManager::languageIdOf(const QLocale& locale) {
    for (const LanguageCode& code : kLanguageCodes) {
        if (code.language == locale.language() && code.territory == locale.territory()) {
            return code.id;
        }
    }
    for (const LanguageCode& code : kLanguageCodes) {
        if (code.language == locale.language() && code.territory == QLocale::AnyTerritory) {
            return code.id;
        }
    }
    return std::nullopt;
}

void LanguageManager::scan() {
    translations_.clear();
    translations_.push_back({QString::fromLatin1(kDefaultLanguageName), kDefaultLanguageId, {}});
    const QDir folder(folder_);
    const QStringList files =
        folder.entryList({prefix_ + QStringLiteral("_*.qm")}, QDir::Files, QDir::Name);
    std::vector<Translation> found;
    for (const QString& file : files) {
        const QString localeName =
            file.mid(prefix_.size() + 1, file.size() - prefix_.size() - 1 - 3);
        const QLocale locale(localeName);
        if (locale.language() == QLocale::C) {
            continue;
        }
        const auto id = languageIdOf(locale);
        if (!id || *id == kDefaultLanguageId || find(*id) != nullptr) {
            continue;
        }
        QTranslator probe;
        if (!probe.load(folder.filePath(file))) {
            continue;
        }
        translations_.push_back({displayName(locale), *id, folder.filePath(file)});
    }
    std::sort(
        translations_.begin() + 1, translations_.end(),
        [](const Translation& a, const Translation& b) { return a.languageId < b.languageId; });
}

const Translation* LanguageManager::find(std::uint32_t languageId) const {
    for (const Translation& translation : translations_) {
        if (translation.languageId == languageId) {
            return &translation;
        }
    }
    return nullptr;
}

void LanguageManager::initialize(const QLocale& systemLocale) {
    scan();
    std::optional<std::uint32_t> stored;
    registry::Key key;
    if (store_.openKey(registry::Hive::CurrentUser, keyPath_, registry::Access::Read, key) ==
        registry::ERROR_SUCCESS) {
        stored = registry::readDword(key, valueName_);
    }
    const Translation* chosen = stored ? find(*stored) : nullptr;
    if (chosen == nullptr && !stored) {
        if (const auto system = languageIdOf(systemLocale)) {
            chosen = find(*system);
        }
    }
    if (chosen == nullptr) {
        chosen = &translations_.front();
    }
    current_ = chosen->languageId;
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
        installed_ = false;
    }
    if (!chosen->file.isEmpty() && translator_.load(chosen->file)) {
        installed_ = QCoreApplication::installTranslator(&translator_);
    }
}

}  // namespace qm::studio::controls
