#include "platform/pulse/pulse_stream_handle.h"

namespace qm::pulse {

PulseStreamHandle::PulseStreamHandle(std::shared_ptr<PulseConnection> connection, const char* name,
                                     const pa_sample_spec& spec)
    : connection_(std::move(connection)) {
    PulseConnection::Lock lock(*connection_);
    stream_ = pa_stream_new(connection_->context(), name, &spec, nullptr);
}

PulseStreamHandle::~PulseStreamHandle() {
    if (stream_ == nullptr) {
        return;
    }
    PulseConnection::Lock lock(*connection_);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) {
        pa_stream_disconnect(stream_);
    }
    pa_stream_unref(stream_);
}

pa_buffer_attr bufferAttributes(std::uint32_t fragsize, std::uint32_t tlength) {
    pa_buffer_attr attributes;
    attributes.maxlength = kServerChooses;
    attributes.tlength = tlength;
    attributes.prebuf = kServerChooses;
    attributes.minreq = kServerChooses;
    attributes.fragsize = fragsize;
    return attributes;
}

}  // namespace qm::pulse
