#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace qm::studio {

// A small modeless box with a line of text (6400) and a progress bar (6401, 0 to 100). It
// enables the window it was opened over again when it is destroyed.
class CWaitDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr const char* kDefaultText = "Click Cancel to cancel the operation";

    // An empty text shows the default text.
    CWaitDialog(const QString& text, QWidget* owner);
    ~CWaitDialog() override;

    void setProgress(int position);
    int progress() const;
    QString text() const;

  private:
    QLabel* text_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

}  // namespace qm::studio
