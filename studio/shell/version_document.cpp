#include "studio/shell/version_document.h"

#include <charconv>
#include <pugixml.hpp>

#ifndef QM_PRODUCT_VERSION
#error "QM_PRODUCT_VERSION must be defined by the build"
#endif

namespace qm::studio {
namespace {

unsigned parseNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    unsigned value = 0;
    const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || ptr == text.data()) {
        return 0;
    }
    return value;
}

}  // namespace

VersionNumbers parseProductVersion(std::string_view text) {
    unsigned parts[3] = {0, 0, 0};
    for (unsigned& part : parts) {
        if (text.empty()) {
            break;
        }
        const std::size_t dot = text.find('.');
        part = parseNumber(text.substr(0, dot));
        if (dot == std::string_view::npos) {
            text = {};
        } else {
            text.remove_prefix(dot + 1);
        }
    }
    return {parts[0], parts[1], parts[2]};
}

std::optional<PublishedVersion> parseVersionDocument(std::string_view xml) {
    if (xml.empty()) {
        return std::nullopt;
    }
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size())) {
        return std::nullopt;
    }
    PublishedVersion published;
    const pugi::xml_node ver = document.child("Ver");
    if (!ver) {
        return published;
    }
    published.version = {parseNumber(ver.attribute("Major").value()),
                         parseNumber(ver.attribute("Minor").value()),
                         parseNumber(ver.attribute("Build").value())};
    published.link = ver.attribute("Link").value();
    return published;
}

const char* installedVersionText() {
    return QM_PRODUCT_VERSION;
}

VersionNumbers installedVersion() {
    return parseProductVersion(QM_PRODUCT_VERSION);
}

}  // namespace qm::studio
