#pragma once

#include <QTabWidget>

namespace qm::studio::controls {

// The tab control of the panel host: black tabs over the panel colour, one page per panel.
// Tabs are enabled one by one; a disabled tab shows dimmed and can't be chosen.
class PanelTabControl : public QTabWidget {
    Q_OBJECT

  public:
    static constexpr int kChildId = 5056;

    explicit PanelTabControl(QWidget* parent = nullptr);

    // Every tab disabled.
    void disableAllTabs();
};

}  // namespace qm::studio::controls
