#pragma once

#include <QWidget>

class QComboBox;

namespace qm::studio {

class CMainFrame;
class CTonecraftApp;

// "Audio devices": the service's device mode, 0 "Cache devices in the system" or 1 "Remove
// device after extraction". Choosing an entry applies it at once: a new mode is explained,
// the mode is stored for the service, and the user may restart the service so that it takes
// effect.
class CBackstagePageDevice : public QWidget {
    Q_OBJECT

  public:
    CBackstagePageDevice(CTonecraftApp& app, CMainFrame& frame, QWidget* parent = nullptr);

    QComboBox* modeList() const { return modes_; }
    // What choosing entry `index` in the list does.
    void choose(int index);

  private:
    CTonecraftApp& app_;
    CMainFrame& frame_;
    QComboBox* modes_ = nullptr;
    int value_ = 0;
};

}  // namespace qm::studio
