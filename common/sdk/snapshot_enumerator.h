#pragma once

#include <memory>
#include <vector>

#include "common/sdk/interfaces.h"

namespace qm::sdk {

// An enumerator over a fixed copy of a device list. Clones share the copy and start at the
// position of the original.
class SnapshotEnumerator final : public IEnumQMDevice {
  public:
    using Snapshot = std::vector<std::shared_ptr<IQMDevice>>;

    explicit SnapshotEnumerator(std::shared_ptr<const Snapshot> devices, std::size_t position = 0);

    [[nodiscard]] HRESULT Next(unsigned long celt, std::shared_ptr<IQMDevice>* rgelt,
                               unsigned long* pceltFetched) override;
    [[nodiscard]] HRESULT Skip(unsigned long celt) override;
    [[nodiscard]] HRESULT Reset() override;
    [[nodiscard]] HRESULT Clone(std::shared_ptr<IEnumQMDevice>* ppEnum) override;

  private:
    std::size_t remaining() const { return devices_->size() - position_; }

    std::shared_ptr<const Snapshot> devices_;
    std::size_t position_;
};

}  // namespace qm::sdk
