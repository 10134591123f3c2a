#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace qm::registry {

// Receives one line of text for each problem with a store file (damaged, unreadable, failing
// writes). Called from whichever thread met the problem.
using DiagnosticSink = std::function<void(std::string_view line)>;

namespace detail {

// The store's diagnostics channel: a settable sink (by default one line to stderr) that hears
// each distinct message once, so a damaged file read a hundred times is reported once.
class Diagnostics {
  public:
    Diagnostics();

    // An empty sink restores the default (stderr).
    void setSink(DiagnosticSink sink);
    void report(const std::string& line);

  private:
    static constexpr std::size_t kMaxRemembered = 256;

    std::mutex mutex_;
    DiagnosticSink sink_;
    std::set<std::string> reported_;
};

}  // namespace detail
}  // namespace qm::registry
