#include "service/com/process_exit.h"

#include "common/text/text.h"

namespace qm::com {

bool printsResult(sdk::HRESULT result, bool quiet) {
    return sdk::FAILED(result) && !quiet;
}

std::string resultLine(sdk::HRESULT result) {
    return text::format("qmMicHost: result 0x%08X", static_cast<unsigned>(result));
}

int processExitCode(sdk::HRESULT result) {
    if (result == sdk::S_OK) {
        return 0;
    }
    const int lowByte = static_cast<int>(static_cast<std::uint32_t>(result) & 0xFFu);
    return lowByte != 0 ? lowByte : 1;
}

}  // namespace qm::com
