#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <variant>
#include <vector>

#include "common/settings/device_settings.h"
#include "common/settings/setting_table.h"
#include "support/gate.h"
#include "support/table_fakes.h"

namespace qm::studio::panels::testing {

using sdk::HRESULT;
using settings::Setting;

// A microphone that records every call made to it ("Set_EQ_GAIN(3, 0)", "GetLastStatus()") and
// the thread it came on. Its description, status replies and answers are set by the test; its
// gate can hold the setting calls until the test opens it, as a slow microphone would.
class RecordingDevice final : public sdk::testing::TableDevice {
  public:
    explicit RecordingDevice(std::string productName = "Larch")
        : name(std::move(productName)), gui_(std::this_thread::get_id()) {}

    std::vector<std::string> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // The changes with their status follow-up (Set..., Reset..., GetLastStatus) in order.
    std::vector<std::string> changes() const {
        std::vector<std::string> out;
        for (const std::string& call : calls()) {
            if (call.rfind("Set", 0) == 0 || call.rfind("Reset", 0) == 0 ||
                call == "GetLastStatus()") {
                out.push_back(call);
            }
        }
        return out;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        calls_.clear();
    }
    int callsOnGuiThread() const {
        std::lock_guard lock(mutex_);
        return guiCalls_;
    }
    // GetLastStatus answers these first, then 0.
    void rejectNext(std::initializer_list<HRESULT> statuses) {
        std::lock_guard lock(mutex_);
        statuses_.insert(statuses_.end(), statuses);
    }

    std::string name;
    std::string xml;
    HRESULT xmlResult = sdk::S_OK;
    bool started = true;
    bool statusCallsFail = false;
    settings::DeviceSettings status;  // what the status calls give
    qm::testing::Gate gate;           // setting calls pass it before they are recorded

  protected:
    HRESULT answer(sdk::testing::DeviceCall& call) override {
        const std::string_view method = call.method;
        const std::string text = call.text();
        if (method == "IsInitialized") {
            return sdk::S_OK;
        }
        if (method == "IsStarted") {
            record(text);
            return started ? sdk::S_OK : sdk::S_FALSE;
        }
        if (method == "GetDeviceXML") {
            record(text);
            *std::get<std::string*>(call.outs.at(0).value) = xml;
            return xmlResult;
        }
        if (const std::string* value = identity(method)) {
            record(text);
            *std::get<std::string*>(call.outs.at(0).value) = *value;
            return sdk::S_OK;
        }
        if (method == "ResetStatus") {
            record(text);
            return sdk::S_OK;
        }
        if (method == "GetLastStatus") {
            record(text);
            return nextStatus();
        }
        if (const auto block = statusBlockOf(method)) {
            record(text);
            return read(*block, call);
        }
        if (method == "ResetDefault" ||
            (method.starts_with("Set") && !call.ins.empty() &&
             std::holds_alternative<int>(call.ins[0])) ||
            method == "SetVolumeNorm" || method == "SetVolumeMute") {
            return change(text);
        }
        return sdk::E_NOTIMPL;
    }

  private:
    const std::string* identity(std::string_view method) const {
        static const std::string serial = "SN1";
        static const std::string vendor = "10C4";
        static const std::string product = "EAB0";
        if (method == "GetDeviceSN")
            return &serial;
        if (method == "GetName")
            return &name;
        if (method == "GetVendorID")
            return &vendor;
        if (method == "GetProductID")
            return &product;
        return nullptr;
    }
    static std::optional<settings::StatusBlock> statusBlockOf(std::string_view method) {
        for (auto block = settings::StatusBlock::Direction; block <= settings::StatusBlock::ExtTpa;
             block = static_cast<settings::StatusBlock>(static_cast<int>(block) + 1)) {
            if (settings::statusBlockInfo(block).operation == method) {
                return block;
            }
        }
        return std::nullopt;
    }
    HRESULT nextStatus() {
        std::lock_guard lock(mutex_);
        if (statuses_.empty()) {
            return sdk::S_OK;
        }
        const HRESULT next = statuses_.front();
        statuses_.pop_front();
        return next;
    }
    // The block's settings, in reply order, are the call's out bytes.
    HRESULT read(settings::StatusBlock block, sdk::testing::DeviceCall& call) {
        if (statusCallsFail) {
            // As the client proxy does, a failed call zeroes its out values.
            for (const auto& out : call.outs) {
                *std::get<unsigned char*>(out.value) = 0;
            }
            return sdk::E_NOINTERFACE;
        }
        for (const settings::SettingInfo& info : settings::settingTable()) {
            if (info.block == block) {
                *std::get<unsigned char*>(call.outs.at(info.replyByte - 1).value) =
                    status[info.setting];
            }
        }
        return sdk::S_OK;
    }
    void record(std::string call) {
        std::lock_guard lock(mutex_);
        if (std::this_thread::get_id() == gui_) {
            ++guiCalls_;
        }
        calls_.push_back(std::move(call));
    }
    HRESULT change(std::string call) {
        gate.pass();
        record(std::move(call));
        return sdk::S_OK;
    }

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::deque<HRESULT> statuses_;
    std::thread::id gui_;
    int guiCalls_ = 0;
};

}  // namespace qm::studio::panels::testing
