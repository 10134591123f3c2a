#pragma once

#include <string>

#include "studio/panels/ctrl_tab.h"
#include "studio/panels/equalizer_model.h"

namespace qm::studio::panels {

class CEQExWnd;

// The equaliser panel: grey captions down the left and the five band strips. Each strip's
// action edits the model and sends its calls in the model's order; a moved gain slider sends
// its newest position.
class CCtrlTabEQ : public CCtrlTab {
    Q_OBJECT

  public:
    explicit CCtrlTabEQ(PanelLink& link, QWidget* parent = nullptr);

    void showControls(bool enabled) override;
    void read(const PanelReading& reading) override;
    void collect(settings::DeviceSettings& bytes) const override;

    const EqualizerModel& model() const { return model_; }
    CEQExWnd* strips() const { return strips_; }

  private:
    void act(const SettingCalls& calls, PanelLink::Sending sending = PanelLink::Sending::Each);
    void refresh();

    EqualizerModel model_;
    CEQExWnd* strips_;
};

using CBaseCtrlTabEQ = CBaseCtrlTabOf<CCtrlTabEQ>;

}  // namespace qm::studio::panels
