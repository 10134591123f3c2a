#pragma once

#include <array>
#include <vector>

#include "studio/panels/ctrl_tab.h"
#include "studio/panels/filters_model.h"

namespace qm::studio::panels {

// The filters panel: for the low-pass filter and the two high-pass filters a caption, a master
// switch and a row of frequency buttons that act as a radio group. Switching a filter on always
// selects its first frequency.
class CCtrlTabLPF : public CCtrlTab {
    Q_OBJECT

  public:
    explicit CCtrlTabLPF(PanelLink& link, QWidget* parent = nullptr);

    void read(const PanelReading& reading) override;
    void collect(settings::DeviceSettings& bytes) const override;

    const FiltersModel& model() const { return model_; }

  private:
    struct Row {
        controls::ImageButton* master = nullptr;
        std::vector<controls::ImageButton*> buttons;  // code k at k - 1
    };

    void refresh();
    Row& rowOf(Filter filter) { return rows_[static_cast<std::size_t>(filter)]; }

    FiltersModel model_;
    std::array<Row, 3> rows_;
};

using CBaseCtrlTabLPF = CBaseCtrlTabOf<CCtrlTabLPF>;

}  // namespace qm::studio::panels
