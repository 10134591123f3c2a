#include <iostream>
#include <string>
#include <vector>

#include "platform/registry/store.h"
#include "tools/qmreg/commands.h"

// qmreg: looks inside the registry store of this machine (see commands.h).
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    qm::registry::Store store(qm::registry::StoreLocations::fromEnvironment());
    return qm::qmreg::run(args, store, std::cout, std::cerr);
}
