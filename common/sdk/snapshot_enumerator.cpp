#include "common/sdk/snapshot_enumerator.h"

#include <algorithm>

namespace qm::sdk {

SnapshotEnumerator::SnapshotEnumerator(std::shared_ptr<const Snapshot> devices,
                                       std::size_t position)
    : devices_(devices ? std::move(devices) : std::make_shared<const Snapshot>()),
      position_(std::min(position, devices_->size())) {}

HRESULT SnapshotEnumerator::Next(unsigned long celt, std::shared_ptr<IQMDevice>* rgelt,
                                 unsigned long* pceltFetched) {
    if (pceltFetched != nullptr) {
        *pceltFetched = 0;
    }
    if (rgelt == nullptr || (celt > 1 && pceltFetched == nullptr)) {
        return E_POINTER;
    }
    const std::size_t count = std::min<std::size_t>(celt, remaining());
    for (std::size_t i = 0; i < count; ++i) {
        rgelt[i] = (*devices_)[position_ + i];
    }
    position_ += count;
    if (pceltFetched != nullptr) {
        *pceltFetched = static_cast<unsigned long>(count);
    }
    return count == celt ? S_OK : S_FALSE;
}

HRESULT SnapshotEnumerator::Skip(unsigned long celt) {
    const std::size_t count = std::min<std::size_t>(celt, remaining());
    position_ += count;
    return count == celt ? S_OK : S_FALSE;
}

HRESULT SnapshotEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT SnapshotEnumerator::Clone(std::shared_ptr<IEnumQMDevice>* ppEnum) {
    if (ppEnum == nullptr) {
        return E_POINTER;
    }
    *ppEnum = std::make_shared<SnapshotEnumerator>(devices_, position_);
    return S_OK;
}

}  // namespace qm::sdk
