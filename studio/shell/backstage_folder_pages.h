#pragma once

#include <QWidget>
#include <string>

class QLineEdit;
class QPushButton;

namespace qm::studio {

class CTonecraftApp;

// A page with one folder: its heading, a label, the folder's edit field and "Apply". Editing
// enables "Apply" while the text isn't empty; "Apply" disables it and stores the folder.
class CBackstageFolderPage : public QWidget {
    Q_OBJECT

  public:
    QLineEdit* folderEdit() const { return edit_; }
    QPushButton* applyButton() const { return apply_; }
    void apply();

  protected:
    CBackstageFolderPage(CTonecraftApp& app, int dialogId, const QString& heading,
                         const QString& label, int editId, int applyId, QWidget* parent);
    void showFolder(const std::string& folder);
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
};

// "Server output Log": the service's log folder. Applied, it is stored for the service, which
// moves its logs there at once when the studio is connected (else at its next start).
class CBackstagePageLOG final : public CBackstageFolderPage {
    Q_OBJECT

  public:
    explicit CBackstagePageLOG(CTonecraftApp& app, QWidget* parent = nullptr);

  private:
    bool store(const std::string& folder) override;
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
