#pragma once

#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "common/profiles/apply_log.h"
#include "studio/profiles/apply_worker.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qm::studio {

// The images of the apply status tree: 0 success, 1 error, 2 in progress, 3 to 9 the frames of
// the in-progress animation.
inline constexpr int kApplyImageCount = 10;
const std::array<QIcon, kApplyImageCount>& applyImages();
// The next image of an entry in progress: 3 to 8 go up by one, any other becomes 3.
int nextAnimationImage(int image);

// "Apply profile for selected device": shows the profile's name and description and, in a tree,
// one item per entry of the apply log, the entry in progress animated. The apply runs on an
// ApplyWorker; the dialog only reads the log. Close is enabled when the run has ended; Escape
// does not close it. Closing the window while the run goes on stops the run, and the dialog
// closes when it has ended. A dialog destroyed during a run hands its worker to the retirement.
class CProfileApply : public QDialog {
    Q_OBJECT

  public:
    struct Start {
        profiles::CProfile profile;
        std::string serial;  // empty: no microphone selected; nothing is applied
        ApplyWorker::DeviceOpener open;
        Clock* clock = nullptr;
        profiles::ApplyPolicy policy;
    };

    CProfileApply(Start start, ApplyWorkerRetirement& retirement, QWidget* parent = nullptr);
    ~CProfileApply() override;

    // Runs once the apply has ended, before Close is enabled (the selection is read anew).
    void onFinished(std::function<void()> finished) { whenFinished_ = std::move(finished); }

    bool running() const { return worker_ != nullptr && !ended_; }
    QTreeWidget* statusTree() const { return tree_; }
    QPushButton* closeButton() const { return close_; }
    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* descriptionEdit() const { return description_; }
    // The image index each tree item shows.
    std::vector<int> itemImages() const;
    // One tick of the 100 ms animation timer.
    void animate();

  protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void begin(Start start);
    void entryAdded(std::size_t index);
    void entryChanged(std::size_t index);
    void ended();
    void showImage(QTreeWidgetItem* item, int image);

    ApplyWorkerRetirement& retirement_;
    std::shared_ptr<profiles::ApplyLog> log_ = std::make_shared<profiles::ApplyLog>();
    std::unique_ptr<ApplyWorker> worker_;
    std::vector<QTreeWidgetItem*> items_;  // by log entry
    QLineEdit* name_ = nullptr;
    QLineEdit* description_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer animation_;
    std::function<void()> whenFinished_;
    bool ended_ = false;
    bool closeWhenEnded_ = false;
};

}  // namespace qm::studio
