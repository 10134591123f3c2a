#pragma once

#include <string>

#include "common/sdk/hresult.h"

// How qmctl shows the results of interface calls, and which exit code a failed call gives.
namespace qm::qmctl {

// "0x80004002", eight upper-case hexadecimal digits.
std::string resultHex(sdk::HRESULT hr);
// "S_OK", "E_NOINTERFACE", ...: the name of a known result; the hexadecimal form otherwise.
std::string resultName(sdk::HRESULT hr);
// "E_NOINTERFACE (0x80004002)"; for S_OK and S_FALSE only the name.
std::string resultText(sdk::HRESULT hr);

// Results that say the call did not reach its object or got no answer: the service is not on
// the bus, did not answer in time, or no longer has the object.
bool isTransportFailure(sdk::HRESULT hr);

// The exit code for a call that failed with `hr`: the service being unreachable has its own
// code; every other failure is a failed call.
int exitCodeForFailure(sdk::HRESULT hr);

}  // namespace qm::qmctl
