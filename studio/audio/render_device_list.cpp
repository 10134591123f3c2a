#include "studio/audio/render_device_list.h"

namespace qm::audio {

CRenderDeviceList::CRenderDeviceList(AudioSystem& audio) : audio_(audio) {}

void CRenderDeviceList::Enumerate() {
    std::lock_guard guard(mutex_);
    items_.clear();
    const std::optional<RenderEndpoint> defaultEndpoint = audio_.defaultRenderEndpoint();
    if (!defaultEndpoint) {
        return;
    }
    items_.push_back({"Default", defaultEndpoint->id});
    for (RenderEndpoint& endpoint : audio_.renderEndpoints()) {
        if (!endpoint.name.empty()) {
            items_.push_back({std::move(endpoint.name), std::move(endpoint.id)});
        }
    }
}

std::size_t CRenderDeviceList::Count() const {
    std::lock_guard guard(mutex_);
    return items_.size();
}

std::optional<RenderDeviceItem> CRenderDeviceList::GetAt(std::size_t index) const {
    std::lock_guard guard(mutex_);
    if (index >= items_.size()) {
        return std::nullopt;
    }
    return items_[index];
}

void CRenderDeviceList::Clear() {
    std::lock_guard guard(mutex_);
    items_.clear();
}

bool CRenderDeviceList::Select(const std::optional<std::string>& endpointId) {
    std::lock_guard guard(mutex_);
    stream_.reset();
    if (endpointId && endpointId != selected_) {
        selected_ = endpointId;
        outputMeter_.reset();
    }
    if (!selected_) {
        return false;
    }
    stream_ = audio_.openRender(*selected_);
    // The meter follows the selected endpoint whether or not its stream opened.
    if (outputMeter_ == nullptr) {
        outputMeter_ = audio_.renderMeter(*selected_);
    }
    return stream_ != nullptr;
}

void CRenderDeviceList::Release() {
    std::lock_guard guard(mutex_);
    stream_.reset();
    outputMeter_.reset();
    selected_.reset();
    items_.clear();
}

std::optional<std::string> CRenderDeviceList::selectedEndpoint() const {
    std::lock_guard guard(mutex_);
    return selected_;
}

std::shared_ptr<PeakMeter> CRenderDeviceList::outputMeter() const {
    std::lock_guard guard(mutex_);
    return outputMeter_;
}

}  // namespace qm::audio
