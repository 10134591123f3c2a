#pragma once

#include <QString>

namespace qm::studio {

// Hands a web address to the user's browser.
class LinkOpener {
  public:
    virtual ~LinkOpener() = default;
    // False when the address isn't an http or https address or no browser took it.
    virtual bool open(const QString& link) = 0;
};

// Opens http and https addresses with the desktop's default browser; any other scheme (a file,
// a program) is refused, since the address comes from the network.
class DesktopLinkOpener final : public LinkOpener {
  public:
    bool open(const QString& link) override;
};

// True for an absolute http or https address.
bool isWebLink(const QString& link);

}  // namespace qm::studio
