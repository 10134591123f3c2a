#include "platform/hiduart/traffic_recording.h"

#include <array>
#include <charconv>
#include <sstream>
#include <string_view>

#include "common/text/text.h"

namespace qm::hiduart {
namespace {

using Kind = RecordedEvent::Kind;

constexpr std::string_view kFirstLine = "# quillmere bridge recording 1";

constexpr std::array<std::pair<Kind, std::string_view>, 7> kKindNames = {{
    {Kind::Open, "open"},
    {Kind::Close, "close"},
    {Kind::GetFeature, "get-feature"},
    {Kind::SetFeature, "set-feature"},
    {Kind::Out, "out"},
    {Kind::In, "in"},
    {Kind::Gone, "gone"},
}};

std::string_view kindName(Kind kind) {
    for (const auto& [k, name] : kKindNames) {
        if (k == kind)
            return name;
    }
    return "?";
}

std::optional<Kind> kindOf(std::string_view name) {
    for (const auto& [k, known] : kKindNames) {
        if (known == name)
            return k;
    }
    return std::nullopt;
}

// A field value: printable ASCII stands for itself, except '%' and '='; every other byte is
// "%XX".
std::string escapeField(std::string_view value) {
    std::string out;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && c != '%' && c != '=')
            out.push_back(c);
        else
            out += text::format("%%%02X", byte);
    }
    return out;
}

std::optional<std::string> unescapeField(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            out.push_back(value[i]);
            continue;
        }
        unsigned byte = 0;
        if (i + 2 >= value.size())
            return std::nullopt;
        const auto [end, ec] =
            std::from_chars(value.data() + i + 1, value.data() + i + 3, byte, 16);
        if (ec != std::errc() || end != value.data() + i + 3)
            return std::nullopt;
        out.push_back(static_cast<char>(byte));
        i += 2;
    }
    return out;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        out.push_back(line.substr(start, end - start));
        at = end;
    }
    return out;
}

template <typename T>
bool parseNumber(std::string_view text, T& value, int base = 10) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

// "12.345678": seconds with microseconds.
std::optional<Duration> parseTime(std::string_view text) {
    const std::size_t dot = text.find('.');
    std::int64_t seconds = 0;
    std::int64_t micros = 0;
    if (dot == std::string_view::npos || text.size() - dot - 1 != 6 ||
        !parseNumber(text.substr(0, dot), seconds) || !parseNumber(text.substr(dot + 1), micros) ||
        seconds < 0) {
        return std::nullopt;
    }
    return std::chrono::seconds(seconds) + std::chrono::microseconds(micros);
}

bool parseDevice(const std::vector<std::string_view>& fields, RecordedDevice& device) {
    if (fields.size() < 2 || !parseNumber(fields[1], device.number) || device.number <= 0)
        return false;
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const std::size_t equals = fields[i].find('=');
        if (equals == std::string_view::npos)
            return false;
        const std::string_view key = fields[i].substr(0, equals);
        const std::optional<std::string> value = unescapeField(fields[i].substr(equals + 1));
        if (!value)
            return false;
        HidDeviceInfo& info = device.info;
        if (key == "vid" && !parseNumber(*value, info.vendorId, 16))
            return false;
        if (key == "pid" && !parseNumber(*value, info.productId, 16))
            return false;
        if (key == "path")
            info.path = *value;
        else if (key == "serial")
            info.serialNumber = *value;
        else if (key == "manufacturer")
            info.manufacturer = *value;
        else if (key == "product")
            info.product = *value;
    }
    return true;
}

bool parseEvent(const std::vector<std::string_view>& fields, RecordedEvent& event) {
    if (fields.size() < 3)
        return false;
    const auto at = parseTime(fields[0]);
    const auto kind = kindOf(fields[2]);
    if (!at || !kind || !parseNumber(fields[1], event.device) || event.device <= 0)
        return false;
    event.at = *at;
    event.kind = *kind;
    for (std::size_t i = 3; i < fields.size(); ++i) {
        std::uint8_t byte = 0;
        if (fields[i].size() != 2 || !parseNumber(fields[i], byte, 16))
            return false;
        event.bytes.push_back(byte);
    }
    return true;
}

}  // namespace

RecordingWriter::RecordingWriter(const std::string& path, Clock& clock)
    : clock_(clock), start_(clock.now()), file_(path, std::ios::out | std::ios::trunc) {
    writeLine(std::string(kFirstLine));
    writeLine("# seconds device event bytes (hexadecimal, trailing zeros left out)");
}

bool RecordingWriter::good() const {
    std::lock_guard guard(mutex_);
    return file_.good();
}

int RecordingWriter::opened(const HidDeviceInfo& info) {
    std::lock_guard guard(mutex_);
    const int number = ++opened_;
    file_ << text::format("device %d vid=%04X pid=%04X", number, info.vendorId, info.productId)
          << " path=" << escapeField(info.path) << " serial=" << escapeField(info.serialNumber)
          << " manufacturer=" << escapeField(info.manufacturer)
          << " product=" << escapeField(info.product) << std::endl;
    return number;
}

void RecordingWriter::record(int device, Kind kind, std::span<const std::uint8_t> bytes) {
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(clock_.now() - start_).count();
    std::string line = text::format("%lld.%06lld %d ", static_cast<long long>(micros / 1000000),
                                    static_cast<long long>(micros % 1000000), device);
    line += kindName(kind);
    std::size_t length = bytes.size();
    while (length > 1 && bytes[length - 1] == 0)
        --length;
    for (std::size_t i = 0; i < length; ++i)
        line += text::format(" %02X", bytes[i]);
    std::lock_guard guard(mutex_);
    file_ << line << std::endl;
}

void RecordingWriter::writeLine(const std::string& line) {
    std::lock_guard guard(mutex_);
    file_ << line << std::endl;
}

std::optional<Recording> readRecording(std::istream& in, std::string& error) {
    Recording recording;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string_view> fields = words(line);
        if (fields.empty() || fields[0].starts_with('#'))
            continue;
        bool ok = false;
        if (fields[0] == "device") {
            RecordedDevice device;
            ok = parseDevice(fields, device);
            recording.devices.push_back(std::move(device));
        } else {
            RecordedEvent event;
            ok = parseEvent(fields, event);
            ok = ok && (recording.events.empty() || recording.events.back().at <= event.at);
            recording.events.push_back(std::move(event));
        }
        if (!ok) {
            error = text::format("line %d: \"%s\" is not a device or an event in time order",
                                 number, line.c_str());
            return std::nullopt;
        }
    }
    return recording;
}

std::optional<Recording> readRecordingFile(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    return readRecording(in, error);
}

}  // namespace qm::hiduart
