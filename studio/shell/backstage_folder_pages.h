#pragma once

#include <QWidget>
#include <string>

#include "common/sdk/hresult.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm::studio {

class CTonecraftApp;

// A page with one folder: its heading, a label, the folder's edit field, "Apply" and a line for
// problems. Editing enables "Apply" while the text isn't empty; "Apply" disables it and stores
// the folder. A folder that could not be stored is said on the problem line, and "Apply" comes
// back with the text kept, so the user can correct it.
class CBackstageFolderPage : public QWidget {
    Q_OBJECT

  public:
    QLineEdit* folderEdit() const { return edit_; }
    QPushButton* applyButton() const { return apply_; }
    QLabel* problemLabel() const { return problem_; }
    void apply();

  protected:
    CBackstageFolderPage(CTonecraftApp& app, int dialogId, const QString& heading,
                         const QString& label, int editId, int applyId, QWidget* parent);
    void showFolder(const std::string& folder);
    void showProblem(const QString& text);
    // Stores the folder the user set; false when it could not be stored.
    virtual bool store(const std::string& folder) = 0;
    // Writes the folder into the machine-wide devices key; false when that fails.
    bool writeDevicesValue(const char* name, const std::string& folder);
    // The machine-wide devices key's value, or `fallback` when it is missing or unusable.
    std::string readDevicesValue(const char* name, const std::string& fallback);

    CTonecraftApp& app_;

  private:
    QLineEdit* edit_ = nullptr;
    QPushButton* apply_ = nullptr;
    QLabel* problem_ = nullptr;
};

// "Server output Log": the service's log folder. Applied, it is stored for the service, which
// moves its logs there at once when the studio is connected (else at its next start). A folder
// the service refuses (not absolute, not a folder it can make or write) is said on the page, and
// the stored value goes back to the folder the service keeps using.
class CBackstagePageLOG final : public CBackstageFolderPage {
    Q_OBJECT

  public:
    explicit CBackstagePageLOG(CTonecraftApp& app, QWidget* parent = nullptr);

  private:
    bool store(const std::string& folder) override;
    void answered(sdk::HRESULT hr, const std::string& folder, const std::string& previous);
};

// "Profile data": the profile folder. Applied, it becomes the studio's profile folder, is
// stored, gets its folder per model, and the profile list is read again.
class CBackstagePageProfile final : public CBackstageFolderPage {
    Q_OBJECT

  public:
    explicit CBackstagePageProfile(CTonecraftApp& app, QWidget* parent = nullptr);

  private:
    bool store(const std::string& folder) override;
};

}  // namespace qm::studio
