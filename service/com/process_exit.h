#pragma once

#include <string>

#include "common/sdk/hresult.h"

// How the process result leaves qmMicHost.
//
// The result is an HRESULT (S_OK, or a failure such as E_INVALIDARG) or, when the process is
// neither registered as a service nor asked to run as an application, the registry's plain Win32
// code (2 when the registration is missing).
//
// A failure HRESULT is printed to standard error as "qmMicHost: result 0x80070057" unless the
// silent flag is set or the usage text was shown (it says all there is to say); S_OK and the
// plain Win32 codes print nothing.
//
// The exit status is the result's low byte: E_INVALIDARG exits with 0x57, a plain 2 with 2. A
// result other than S_OK whose low byte is 0 exits with 1, so no failure ever looks like success.
namespace qm::com {

// `quiet`: silent, or the usage text was shown.
bool printsResult(sdk::HRESULT result, bool quiet);
std::string resultLine(sdk::HRESULT result);
int processExitCode(sdk::HRESULT result);

}  // namespace qm::com
