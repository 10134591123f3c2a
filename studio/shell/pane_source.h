#pragma once

#include <QWidget>

class QCheckBox;

namespace qm::studio {

class CSourceListCtrl;

// The source pane: a 30-pixel strip with the "Show unactive" check box (command 6011) and its
// grey label, over the microphone list (control 6010).
class CPaneSource : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kStripHeight = 30;

    explicit CPaneSource(QWidget* parent = nullptr);

    CSourceListCtrl* list() const { return list_; }
    QCheckBox* showUnactiveBox() const { return showUnactive_; }
    void setShowUnactive(bool on);

  signals:
    // The user switched the check box.
    void showUnactiveToggled(bool on);

  private:
    CSourceListCtrl* list_ = nullptr;
    QCheckBox* showUnactive_ = nullptr;
};

}  // namespace qm::studio
