#include "platform/registry/diagnostics.h"

#include <cstdio>

namespace qm::registry::detail {
namespace {

void writeToStderr(std::string_view line) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace

Diagnostics::Diagnostics() : sink_(writeToStderr) {}

void Diagnostics::setSink(DiagnosticSink sink) {
    std::lock_guard guard(mutex_);
    sink_ = sink ? std::move(sink) : DiagnosticSink(writeToStderr);
}

void Diagnostics::report(const std::string& line) {
    DiagnosticSink sink;
    {
        std::lock_guard guard(mutex_);
        if (reported_.contains(line)) {
            return;
        }
        if (reported_.size() >= kMaxRemembered) {
            reported_.clear();
        }
        reported_.insert(line);
        sink = sink_;
    }
    sink(line);
}

}  // namespace qm::registry::detail
