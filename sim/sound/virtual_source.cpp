#include "sim/sound/virtual_source.h"

#include <cctype>

namespace qm::sim {
namespace {

// A serial number may hold any printable character; names on the server keep to a safe set.
std::string safeName(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        out += std::isalnum(u) != 0 || c == '-' || c == '.' ? c : '_';
    }
    return out;
}

// Quotes a value for the server's argument and property parsers: inside the quotes, the quote
// character and the backslash are escaped.
std::string quoted(const std::string& value, char quote) {
    std::string out(1, quote);
    for (const char c : value) {
        if (c == quote || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    out += quote;
    return out;
}

constexpr const char* kFormat = "format=float32le rate=48000 channels=2";

}  // namespace

std::string VirtualSource::sinkNameOf(const std::string& serial) {
    return "qm_sim_sink_" + safeName(serial);
}

std::string VirtualSource::sourceNameOf(const std::string& serial) {
    return "qm_sim_mic_" + safeName(serial);
}

VirtualSource::VirtualSource(std::shared_ptr<pulse::PulseConnection> connection, Duration timeout)
    : connection_(std::move(connection)), timeout_(timeout) {}

std::unique_ptr<VirtualSource> VirtualSource::create(
    std::shared_ptr<pulse::PulseConnection> connection, const VirtualSourceIdentity& identity,
    Duration timeout, std::string& error) {
    std::unique_ptr<VirtualSource> source(new VirtualSource(std::move(connection), timeout));
    source->sinkName_ = sinkNameOf(identity.serial);
    source->sourceName_ = sourceNameOf(identity.serial);

    const std::string sinkProperties =
        "device.description=" + quoted("Feed of " + identity.description, '"');
    const auto sinkModule =
        source->connection_->loadModule("module-null-sink",
                                        "sink_name=" + source->sinkName_ + " " + kFormat +
                                            " sink_properties=" + quoted(sinkProperties, '\''),
                                        timeout);
    if (!sinkModule) {
        error = "the sound server refused a null sink for " + identity.serial;
        return nullptr;
    }
    source->sinkModule_ = *sinkModule;

    const std::string sourceProperties =
        "device.bus=usb device.class=sound device.vendor.id=" + quoted(identity.vendorId, '"') +
        " device.product.id=" + quoted(identity.productId, '"') +
        " device.serial=" + quoted(identity.serial, '"') +
        " device.description=" + quoted(identity.description, '"') +
        " device.icon_name=audio-input-microphone";
    const auto sourceModule = source->connection_->loadModule(
        "module-remap-source",
        "master=" + source->sinkName_ + ".monitor source_name=" + source->sourceName_ + " " +
            kFormat + " source_properties=" + quoted(sourceProperties, '\''),
        timeout);
    if (!sourceModule) {
        error = "the sound server refused a remapped source for " + identity.serial;
        return nullptr;  // the destructor unloads the sink
    }
    source->sourceModule_ = *sourceModule;
    return source;
}

VirtualSource::~VirtualSource() {
    if (sourceModule_ != PA_INVALID_INDEX) {
        connection_->unloadModule(sourceModule_, timeout_);
    }
    if (sinkModule_ != PA_INVALID_INDEX) {
        connection_->unloadModule(sinkModule_, timeout_);
    }
}

}  // namespace qm::sim
