#pragma once

#include <QWidget>
#include <cstdint>
#include <set>

class QPushButton;

namespace qm::studio {

namespace controls {
class PropertyGrid;
}
class CTonecraftApp;

// "Custom display color": the colours of the peak meter, the waveform and the spectrum with its
// markers, and the spectrum fill's transparency, in a property grid. A change takes effect at
// once: the setting changes, it is stored under Colors and the views redraw. "Apply" stores
// again what could not be stored then.
class CBackstagePageColor : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFillItem = 5091;

    explicit CBackstagePageColor(CTonecraftApp& app, QWidget* parent = nullptr);

    controls::PropertyGrid* grid() const { return grid_; }
    QPushButton* applyButton() const { return apply_; }
    void apply();

  private:
    void changed(int id);
    bool store(int id);

    CTonecraftApp& app_;
    controls::PropertyGrid* grid_ = nullptr;
    QPushButton* apply_ = nullptr;
    std::set<int> unstored_;
};

}  // namespace qm::studio
