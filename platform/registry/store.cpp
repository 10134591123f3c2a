#include "platform/registry/store.h"

#include "platform/registry/hive_set.h"

namespace qm::registry {

Store::Store(StoreLocations locations)
    : hives_(std::make_shared<detail::HiveSet>(std::move(locations))) {}

Store::~Store() = default;

const StoreLocations& Store::locations() const {
    return hives_->locations();
}

void Store::setDiagnosticSink(DiagnosticSink sink) {
    hives_->setDiagnosticSink(std::move(sink));
}

long Store::openKey(Hive hive, std::string_view path, Access access, Key& out) {
    return hives_->openKey(hive, path, access, out);
}

long Store::createKey(Hive hive, std::string_view path, Access access, Key& out) {
    return hives_->createKey(hive, path, access, out);
}

long Store::deleteTree(Hive hive, std::string_view path) {
    return hives_->deleteTree(hive, path);
}

}  // namespace qm::registry
