#pragma once

#include <QStatusBar>
#include <memory>

class QLabel;
class QProgressBar;
class QTimer;

namespace qm::studio::controls {

class KeyboardLocks;

// The frame's status bar, left to right: the message pane, a progress pane (80 pixels, hidden
// until asked for), the version pane, and the CAP, NUM and SCRL indicators, which are lit while
// their lock is on.
class FrameStatusBar : public QStatusBar {
    Q_OBJECT

  public:
    static constexpr int kProgressWidth = 80;

    FrameStatusBar(std::unique_ptr<KeyboardLocks> locks, QWidget* parent = nullptr);
    ~FrameStatusBar() override;

    void setMessage(const QString& text);
    QString message() const;

    // Showing or hiding resets the position to 0.
    void showProgress(bool visible);
    bool progressVisible() const;
    void setProgressRange(int maximum);
    void setProgressPosition(int position);
    QProgressBar* progressPane() const { return progress_; }

    void setVersionText(const QString& text, const QString& toolTip);
    QLabel* versionPane() const { return version_; }

    void setIndicatorTexts(const QString& caps, const QString& num, const QString& scroll);
    void refreshIndicators();
    QLabel* indicator(int index) const;

  private:
    std::unique_ptr<KeyboardLocks> locks_;
    QLabel* message_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* indicators_[3] = {};
    QTimer* indicatorTimer_ = nullptr;
};

}  // namespace qm::studio::controls
