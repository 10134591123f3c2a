#pragma once

#include <QTreeWidget>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/sdk/interfaces.h"
#include "studio/shell/source_item_painter.h"

namespace qm::studio {
struct DeviceInfo;
}

namespace qm::studio {

// The microphone list of the source pane: one collapsible group per product (in the order
// "CP2114 USB-Audio Bridge", Alder, Birch, Cedar, Larch, Rowan, then any other product), each
// shown while it has items; one owner-drawn item per microphone, holding its device and what the
// studio knows of it. Items never call their device: they show what they were last given.
class CSourceListCtrl : public QTreeWidget {
    Q_OBJECT

  public:
    using DevicePtr = std::shared_ptr<sdk::IQMDevice>;

    explicit CSourceListCtrl(QWidget* parent = nullptr);

    // Appends the microphone to the group of its product. False (nothing inserted) when its
    // product name or serial number wasn't read.
    bool insertDevice(const DevicePtr& device, const DeviceInfo& info);
    // Deletes every microphone item, without a selection notice.
    void deleteAllItems();
    // Deletes the item of this serial number, without a selection notice. False when none.
    bool deleteDevice(std::string_view serial);
    bool containsDevice(std::string_view serial) const;
    int deviceCount() const;

    // Shows the new friendly name, description and state of the item with info's serial number.
    // False when there is no such item.
    bool updateDevice(const DeviceInfo& info);
    // Repaints the list.
    void redrawAll();

    std::vector<std::string> listedSerials() const;
    // True when a listed microphone isn't started.
    bool anyInactive() const;
    // The group id of a listed microphone; -1 when it isn't listed.
    int groupOf(std::string_view serial) const;
    bool groupVisible(int groupId) const;
    SourceItemState stateOf(std::string_view serial) const;

    DevicePtr selectedDevice() const;
    // Selects the item of this serial number as the user would (with the selection notice).
    bool selectDevice(std::string_view serial);
    // Removes the selection mark without a selection notice.
    void clearSelectionMark();

  signals:
    // The user selected an item (its device) or cleared the selection (nullptr).
    void deviceSelected(const DevicePtr& device);
    void contextMenuRequested(const QPoint& globalPosition);

  protected:
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    class Item;

    Item* findItem(std::string_view serial) const;
    QTreeWidgetItem* group(int groupId) const;
    void refreshGroupVisibility();
    void onSelectionChanged();

    std::array<QTreeWidgetItem*, 7> groups_{};  // by group id
    int quietSelection_ = 0;
};

}  // namespace qm::studio
