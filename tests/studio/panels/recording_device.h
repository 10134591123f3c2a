#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/sdk/interfaces.h"
#include "common/settings/device_settings.h"

namespace qm::studio::panels::testing {

using sdk::HRESULT;
using settings::Setting;

// A microphone that records every call made to it ("Set_EQ_GAIN(3, 0)", "GetLastStatus()") and
// the thread it came on. Its description, status replies and answers are set by the test; a
// gate can hold the setting calls until the test opens it, as a slow microphone would.
class RecordingDevice final : public sdk::IQMDevice {
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
    // Setting calls wait while the gate is closed.
    void closeGate() {
        std::lock_guard lock(mutex_);
        gateOpen_ = false;
    }
    void openGate() {
        {
            std::lock_guard lock(mutex_);
            gateOpen_ = true;
        }
        gate_.notify_all();
    }
    // True once a setting call waits at the closed gate.
    bool waitingAtGate() const {
        std::lock_guard lock(mutex_);
        return waiting_ > 0;
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

    HRESULT GetDeviceIndexHID(int&) override { return sdk::E_NOTIMPL; }
    HRESULT GetDeviceSN(std::string& out) override { return text("GetDeviceSN", out, "SN1"); }
    HRESULT IsStarted() override {
        record("IsStarted()");
        return started ? sdk::S_OK : sdk::S_FALSE;
    }
    HRESULT IsInitialized() override { return sdk::S_OK; }
    HRESULT GetDeviceXML(std::string& out) override {
        record("GetDeviceXML()");
        out = xml;
        return xmlResult;
    }
    HRESULT GetName(std::string& out) override { return text("GetName", out, name); }
    HRESULT GetVendorID(std::string& out) override { return text("GetVendorID", out, "10C4"); }
    HRESULT GetProductID(std::string& out) override { return text("GetProductID", out, "EAB0"); }
    HRESULT GetHardwareID(std::string&) override { return sdk::E_NOTIMPL; }
    HRESULT GetHardwareVer(std::string&, std::string&) override { return sdk::E_NOTIMPL; }
    HRESULT GetContainerID(std::string&) override { return sdk::E_NOTIMPL; }
    HRESULT SetFriendlyName(const std::string&) override { return sdk::E_NOTIMPL; }
    HRESULT GetFriendlyName(std::string&) override { return sdk::E_NOTIMPL; }
    HRESULT SetDescription(const std::string&) override { return sdk::E_NOTIMPL; }
    HRESULT GetDescription(std::string&) override { return sdk::E_NOTIMPL; }
    HRESULT ResetDefault() override { return change("ResetDefault()"); }
    HRESULT ResetStatus() override {
        record("ResetStatus()");
        return sdk::S_OK;
    }
    HRESULT ResetWatchDog() override { return sdk::E_NOTIMPL; }
    HRESULT GetLastStatus() override {
        record("GetLastStatus()");
        std::lock_guard lock(mutex_);
        if (statuses_.empty()) {
            return sdk::S_OK;
        }
        const HRESULT answer = statuses_.front();
        statuses_.pop_front();
        return answer;
    }
    HRESULT GetStatusDSP(unsigned char& v) override {
        return read("GetStatusDSP()", {{&v, Setting::Volume}});
    }
    HRESULT GetStatusALC(unsigned char& r, unsigned char& m, unsigned char& ref,
                         unsigned char& v) override {
        return read("GetStatusALC()", {{&r, Setting::ALC_RECOVERY},
                                       {&m, Setting::ALC_MODE},
                                       {&ref, Setting::ALC_REF_VALUE},
                                       {&v, Setting::ALC_VOLUME}});
    }
    HRESULT GetStatusHPF_LPF(unsigned char& h1, unsigned char& h2, unsigned char& l) override {
        return read("GetStatusHPF_LPF()",
                    {{&h1, Setting::HPF_1}, {&h2, Setting::HPF_2}, {&l, Setting::LPF}});
    }
    HRESULT GetStatusEQ_NOTCH_GAIN(unsigned char& n, unsigned char& g1, unsigned char& g2,
                                   unsigned char& g3, unsigned char& g4,
                                   unsigned char& g5) override {
        return read("GetStatusEQ_NOTCH_GAIN()", {{&n, Setting::EQ_NOTCH},
                                                 {&g1, Setting::EQ_1_GAIN},
                                                 {&g2, Setting::EQ_2_GAIN},
                                                 {&g3, Setting::EQ_3_GAIN},
                                                 {&g4, Setting::EQ_4_GAIN},
                                                 {&g5, Setting::EQ_5_GAIN}});
    }
    HRESULT GetStatusEQ_POWER_BW_MODE(unsigned char& p, unsigned char& m1, unsigned char& m2,
                                      unsigned char& m3, unsigned char& m4,
                                      unsigned char& m5) override {
        return read("GetStatusEQ_POWER_BW_MODE()", {{&p, Setting::EQ_POWER},
                                                    {&m1, Setting::EQ_1_BW_MODE},
                                                    {&m2, Setting::EQ_2_BW_MODE},
                                                    {&m3, Setting::EQ_3_BW_MODE},
                                                    {&m4, Setting::EQ_4_BW_MODE},
                                                    {&m5, Setting::EQ_5_BW_MODE}});
    }
    HRESULT SetDirectionVolume(unsigned char v) override {
        return change("SetDirectionVolume(" + std::to_string(v) + ")");
    }
    HRESULT GetDirection(unsigned char& v, unsigned char& z, unsigned char& b) override {
        return read("GetDirection()",
                    {{&v, Setting::DirVolume}, {&z, Setting::Zoom}, {&b, Setting::Beam}});
    }
    HRESULT SetVolume(unsigned char v) override { return change(one("SetVolume", v)); }
    HRESULT SetVolumeNorm() override { return change("SetVolumeNorm()"); }
    HRESULT SetVolumeMute() override { return change("SetVolumeMute()"); }
    HRESULT SetZoom(unsigned char v) override { return change(one("SetZoom", v)); }
    HRESULT SetBeam(unsigned char v) override { return change(one("SetBeam", v)); }
    HRESULT Set_LPF(unsigned char v) override { return change(one("Set_LPF", v)); }
    HRESULT Set_HPF_1(unsigned char v) override { return change(one("Set_HPF_1", v)); }
    HRESULT Set_HPF_2(unsigned char v) override { return change(one("Set_HPF_2", v)); }
    HRESULT Set_EQ_NOTCH(unsigned char v) override { return change(one("Set_EQ_NOTCH", v)); }
    HRESULT Set_EQ_GAIN(unsigned char b, unsigned char g) override {
        return change("Set_EQ_GAIN(" + std::to_string(b) + ", " + std::to_string(g) + ")");
    }
    HRESULT Set_EQ_POWER(unsigned char v) override { return change(one("Set_EQ_POWER", v)); }
    HRESULT Set_EQ_BAND_WIDTH(unsigned char b, int f, int w) override {
        return change("Set_EQ_BAND_WIDTH(" + std::to_string(b) + ", " + std::to_string(f) + ", " +
                      std::to_string(w) + ")");
    }
    HRESULT Set_EQ_BAND_MODE(unsigned char b, unsigned char m) override {
        return change("Set_EQ_BAND_MODE(" + std::to_string(b) + ", " + std::to_string(m) + ")");
    }
    HRESULT Set_ALC_RECOVERY(unsigned char v) override {
        return change(one("Set_ALC_RECOVERY", v));
    }
    HRESULT Set_ALC_MODE(unsigned char v) override { return change(one("Set_ALC_MODE", v)); }
    HRESULT Set_ALC_REF_VALUE(unsigned char v) override {
        return change(one("Set_ALC_REF_VALUE", v));
    }
    HRESULT Get_Ext_OutVolume(unsigned char& v) override {
        return read("Get_Ext_OutVolume()", {{&v, Setting::OUT_VOLUME}});
    }
    HRESULT Set_Ext_OutVolume(unsigned char v) override {
        return change(one("Set_Ext_OutVolume", v));
    }
    HRESULT Get_Ext_TPA(unsigned char& v) override {
        return read("Get_Ext_TPA()", {{&v, Setting::TPA}});
    }
    HRESULT Set_Ext_TPA(unsigned char v) override { return change(one("Set_Ext_TPA", v)); }

  private:
    struct Out {
        unsigned char* value;
        Setting setting;
    };

    static std::string one(const char* method, unsigned char value) {
        return std::string(method) + "(" + std::to_string(value) + ")";
    }
    void record(std::string call) {
        std::lock_guard lock(mutex_);
        if (std::this_thread::get_id() == gui_) {
            ++guiCalls_;
        }
        calls_.push_back(std::move(call));
    }
    HRESULT text(const char* method, std::string& out, const std::string& value) {
        record(std::string(method) + "()");
        out = value;
        return sdk::S_OK;
    }
    HRESULT read(const char* call, std::initializer_list<Out> outs) {
        record(call);
        if (statusCallsFail) {
            return sdk::E_NOINTERFACE;
        }
        for (const Out& out : outs) {
            *out.value = status[out.setting];
        }
        return sdk::S_OK;
    }
    HRESULT change(std::string call) {
        {
            std::unique_lock lock(mutex_);
            ++waiting_;
            gate_.wait(lock, [this] { return gateOpen_; });
            --waiting_;
        }
        record(std::move(call));
        return sdk::S_OK;
    }

    mutable std::mutex mutex_;
    std::condition_variable gate_;
    bool gateOpen_ = true;
    int waiting_ = 0;
    std::vector<std::string> calls_;
    std::deque<HRESULT> statuses_;
    std::thread::id gui_;
    int guiCalls_ = 0;
};

}  // namespace qm::studio::panels::testing
