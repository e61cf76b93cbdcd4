#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "device_log.hpp"

namespace nvrp::fiscalctl {

// Checks of the device log the library wrote during a check run: each gives what was seen
// when it failed, or the empty text when it passed.

// Every status answer holds what the driver reads: the root's DeviceSerialNo, GEN_PAR and in
// it DayFiscalRcptCnt, CurrentZNo, CurrentDateTime, CurrentReceiptType, LastError,
// LastOrderSeqNo and DrawerSensorIsHigh, each readable as the driver reads it.
std::string CheckStatusAnswers(const std::vector<ibox_sim::LoggedExchange>& aExchanges);

// No status answer reports a device error in LastError.
std::string CheckDeviceErrors(const std::vector<ibox_sim::LoggedExchange>& aExchanges);

// The library took no answer as text because of its content type.
std::string CheckRefusedContentTypes(const std::vector<ibox_sim::LoggedExchange>& aExchanges);

// Every request was answered (or failed) within aSlow.
std::string CheckAnswerTimes(const std::vector<ibox_sim::LoggedExchange>& aExchanges,
                             std::chrono::milliseconds aSlow);

// True for the status command ("Action=Status" in the query).
bool IsStatusRequest(const ibox_sim::LoggedExchange& aExchange);

}  // namespace nvrp::fiscalctl
