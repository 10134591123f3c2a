#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/store.h"

namespace qm::studio::controls {

// One language the user interface can be shown in. Languages are known by their Windows
// language identifiers (1033 = English, United States), which is the number stored in the
// settings.
struct Translation {
    QString name;
    std::uint32_t languageId = 0;
    QString file;  // the translation file; empty for the built-in English texts
};

// The user interface languages: the built-in English texts and one translation file per
// language in the translations folder ("<program>_<locale>.qm", e.g. "qmTonecraft_de_DE.qm").
// The chosen language is the stored one (a REG_DWORD under the given key of HKEY_CURRENT_USER)
// when it is available, else the system's language when a translation of it exists, else
// English. Its translator is installed before any window is made; a change takes effect at the
// next start.
class LanguageManager {
  public:
    static constexpr std::uint32_t kDefaultLanguageId = 1033;
    static constexpr const char* kDefaultLanguageName = "Default English US";

    LanguageManager(registry::Store& store, std::string settingsKeyPath, std::string valueName,
                    QString folder, QString filePrefix);
    ~LanguageManager();
    LanguageManager(const LanguageManager&) = delete;
    LanguageManager& operator=(const LanguageManager&) = delete;

    // Scans the folder, chooses the language and installs its translator in the application.
    void initialize(const QLocale& systemLocale = QLocale::system());

    // The built-in English entry first, then the translations found, by language identifier.
    const std::vector<Translation>& translations() const { return translations_; }
    std::uint32_t currentLanguage() const { return current_; }

    static std::optional<std::uint32_t> languageIdOf(const QLocale& locale);

  private:
    void scan();
    const Translation* find(std::uint32_t languageId) const;

    registry::Store& store_;
    std::string keyPath_;
    std::string valueName_;
    QString folder_;
    QString prefix_;
    std::vector<Translation> translations_;
    std::uint32_t current_ = kDefaultLanguageId;
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace qm::studio::controls
