// The soak test: the built qmMicHost with five virtual microphones under load for a bounded time
// (60 s, or QM_SOAK_SECONDS): four clients change and read settings, a watcher takes the
// notifications, the microphones are plugged and unplugged and made to misbehave at random.
// Then: the service answers; every acknowledged change is what the microphone, the cache and the
// description hold; its threads, open files and memory did not grow beyond a bound; and after a
// kill -9 in the middle of more changes, a restarted service still has every acknowledged one.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "common/settings/models.h"
#include "common/settings/setting_table.h"
#include "notification_recorder.h"
#include "service_fixture.h"
#include "tools/qmctl/setting_change.h"

namespace qm::e2e {
namespace {

using settings::Setting;
using Clock = std::chrono::steady_clock;

const std::vector<std::pair<std::string, std::string>> kMicrophones = {{"Alder", "SOAK1"},
                                                                       {"Birch", "SOAK2"},
                                                                       {"Cedar", "SOAK3"},
                                                                       {"Larch", "SOAK4"},
                                                                       {"Rowan", "SOAK5"}};
constexpr int kClients = 4;

// Growth allowed between the figures after the warm-up and those at the end.
constexpr long kThreadGrowth = 4;
constexpr long kFileGrowth = 8;
constexpr long kMemoryGrowthKiB = 16 * 1024;

std::chrono::seconds soakTime() {
    const char* text = std::getenv("QM_SOAK_SECONDS");  // NOLINT(concurrency-mt-unsafe)
    const long seconds = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 60);
}

// Threads, open files and resident memory of a process, from /proc.
struct ProcessFigures {
    long threads = 0;
    long files = 0;
    long rssKiB = 0;

    static ProcessFigures of(pid_t pid) {
        ProcessFigures figures;
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Threads:", 0) == 0)
                figures.threads = std::strtol(line.c_str() + 8, nullptr, 10);
            else if (line.rfind("VmRSS:", 0) == 0)
                figures.rssKiB = std::strtol(line.c_str() + 6, nullptr, 10);
        }
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
            (void)entry;
            ++figures.files;
        }
        return figures;
    }
    void takePeaks(const ProcessFigures& now) {
        threads = std::max(threads, now.threads);
        files = std::max(files, now.files);
        rssKiB = std::max(rssKiB, now.rssKiB);
    }
};

// The settings a model keeps everywhere: read from the microphone, cached, described, changed.
std::vector<Setting> changeableSettings(const std::string& model) {
    const settings::Model m = settings::modelFromProductName(model);
    std::vector<Setting> out;
    for (const settings::SettingInfo& info : settings::settingTable()) {
        if (!info.changedBy.empty() &&
            settings::hasSetting(m, info.setting, settings::Place::DeviceRead) &&
            settings::hasSetting(m, info.setting, settings::Place::RegistryCache) &&
            settings::hasSetting(m, info.setting, settings::Place::DeviceXml)) {
            out.push_back(info.setting);
        }
    }
    return out;
}

// What the microphone holds, read through the service with its status reads.
std::map<Setting, std::uint8_t> readMicrophone(sdk::IQMDevice& device) {
    std::map<Setting, std::uint8_t> values;
    unsigned char a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    if (device.GetStatusDSP(a) == sdk::S_OK)
        values[Setting::Volume] = a;
    if (device.GetStatusALC(a, b, c, d) == sdk::S_OK) {
        values[Setting::ALC_RECOVERY] = a;
        values[Setting::ALC_MODE] = b;
        values[Setting::ALC_REF_VALUE] = c;
    }
    if (device.GetStatusHPF_LPF(a, b, c) == sdk::S_OK) {
        values[Setting::HPF_1] = a;
        values[Setting::HPF_2] = b;
        values[Setting::LPF] = c;
    }
    unsigned char n = 0;
    if (device.GetStatusEQ_NOTCH_GAIN(n, a, b, c, d, e) == sdk::S_OK) {
        values[Setting::EQ_NOTCH] = n;
        const unsigned char gains[] = {a, b, c, d, e};
        for (int band = 1; band <= 5; ++band)
            values[settings::eqGain(band)] = gains[band - 1];
    }
    if (device.GetStatusEQ_POWER_BW_MODE(n, a, b, c, d, e) == sdk::S_OK) {
        values[Setting::EQ_POWER] = n;
        const unsigned char modes[] = {a, b, c, d, e};
        for (int band = 1; band <= 5; ++band)
            values[settings::eqMode(band)] = modes[band - 1];
    }
    if (device.GetDirection(a, b, c) == sdk::S_OK) {
        values[Setting::DirVolume] = a;
        values[Setting::Zoom] = b;
        values[Setting::Beam] = c;
    }
    if (device.Get_Ext_OutVolume(f) == sdk::S_OK)
        values[Setting::OUT_VOLUME] = f;
    if (device.Get_Ext_TPA(f) == sdk::S_OK)
        values[Setting::TPA] = f;
    return values;
}

std::optional<int> xmlValue(const std::string& xml, std::string_view attribute) {
    const std::string key = " " + std::string(attribute) + "=\"";
    const std::size_t at = xml.find(key);
    if (at == std::string::npos)
        return std::nullopt;
    return std::atoi(xml.c_str() + at + key.size());
}

// The last acknowledged value of each setting a client changed; nothing where the last change
// may or may not have reached the microphone (sent, but not acknowledged).
class Ledger {
  public:
    void set(const std::string& serial, Setting s, std::optional<std::uint8_t> value) {
        std::lock_guard guard(mutex_);
        values_[{serial, s}] = value;
    }
    std::map<std::pair<std::string, Setting>, std::uint8_t> acknowledged() const {
        std::lock_guard guard(mutex_);
        std::map<std::pair<std::string, Setting>, std::uint8_t> out;
        for (const auto& [key, value] : values_) {
            if (value)
                out[key] = *value;
        }
        return out;
    }
    std::size_t uncertain() const {
        std::lock_guard guard(mutex_);
        std::size_t count = 0;
        for (const auto& [key, value] : values_)
            count += value ? 0 : 1;
        return count;
    }

  private:
    mutable std::mutex mutex_;
    std::map<std::pair<std::string, Setting>, std::optional<std::uint8_t>> values_;
};

struct Counters {
    std::atomic<long> calls{0};
    std::atomic<long> changes{0};
    std::atomic<long> acknowledged{0};
    std::atomic<long> plugs{0};
    std::atomic<long> faults{0};
};

class SoakTest : public ServiceFixture {
  protected:
    // A client that changes and reads the settings of its own microphones until told to stop;
    // no other client touches them, so each acknowledgement it reads is its own change's.
    void runClient(int index, const std::atomic<bool>& stop, bool withReads) {
        const auto client = connect();
        if (!client)
            return;
        std::mt19937 random(static_cast<unsigned>(index) * 7919u + 17u);
        // Its microphones' objects stay the same while they are unplugged and plugged again.
        std::vector<std::pair<std::size_t, std::shared_ptr<sdk::IQMDevice>>> mine;
        for (std::size_t m = static_cast<std::size_t>(index); m < kMicrophones.size();
             m += kClients) {
            if (auto device = deviceOf(*client, kMicrophones[m].second))
                mine.emplace_back(m, std::move(device));
        }
        while (!stop.load() && !mine.empty()) {
            const auto& [m, device] = mine[random() % mine.size()];
            const auto& [model, serial] = kMicrophones[m];
            const std::vector<Setting> choices = changeableSettings(model);
            const Setting setting = choices[random() % choices.size()];
            const auto value = static_cast<std::uint8_t>(random() % 256);
            change(*device, serial, setting, value);
            if (withReads && random() % 3 == 0) {
                std::string xml;
                unsigned char a = 0, b = 0, c = 0;
                static_cast<void>(device->GetDeviceXML(xml));
                static_cast<void>(device->GetStatusHPF_LPF(a, b, c));
                counters_.calls += 2;
            }
        }
    }

    // The panels' change with their retries: up to three tries until it is acknowledged.
    void change(sdk::IQMDevice& device, const std::string& serial, Setting setting,
                std::uint8_t value) {
        ++counters_.changes;
        for (int attempt = 0; attempt < 3; ++attempt) {
            const qmctl::ChangeOutcome outcome = qmctl::changeLikeThePanels(device, setting, value);
            counters_.calls += 1 + (outcome.lastStatus ? 1 : 0) + (outcome.resetResult ? 1 : 0);
            if (outcome.succeeded()) {
                ++counters_.acknowledged;
                ledger_.set(serial, setting, value);
                return;
            }
            if (outcome.changeResult == sdk::E_NOINTERFACE) {
                // Nothing was sent: the microphone is gone or the write failed. A user would
                // not try again at once either.
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                return;
            }
            ledger_.set(serial, setting, std::nullopt);
        }
    }

    // Unplugs a microphone now and then and plugs it in again a moment later.
    void runPlugger(const std::atomic<bool>& stop) {
        const auto simulator = this->simulator();
        std::mt19937 random(4242);
        std::map<std::string, Clock::time_point> out;  // unplugged microphones, since when
        while (!stop.load() && simulator) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100 + random() % 200));
            for (auto it = out.begin(); it != out.end();) {
                if (Clock::now() - it->second < std::chrono::milliseconds(300)) {
                    ++it;
                    continue;
                }
                for (const auto& [model, serial] : kMicrophones) {
                    if (serial == it->first && simulator->Plug(model, serial) == sdk::S_OK)
                        ++counters_.plugs;
                }
                it = out.erase(it);
            }
            const std::string& serial = kMicrophones[random() % kMicrophones.size()].second;
            if (random() % 2 == 0 && !out.contains(serial) &&
                simulator->Unplug(serial) == sdk::S_OK) {
                out[serial] = Clock::now();
                ++counters_.plugs;
            }
        }
    }

    // Makes a microphone misbehave now and then. Answers are never slowed beyond the read
    // time-out: an answer that comes after its read could pass for the next change's.
    void runFaults(const std::atomic<bool>& stop) {
        const auto simulator = this->simulator();
        std::mt19937 random(99);
        const char* faults[] = {"fail-writes", "no-reply",       "wrong-block",
                                "garbage",     "reject-changes", "unplug-after-writes",
                                "slow",        "clear"};
        while (!stop.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300 + random() % 500));
            const std::string& serial = kMicrophones[random() % kMicrophones.size()].second;
            const std::string fault = faults[random() % std::size(faults)];
            const int count = 1 + static_cast<int>(random() % 3);
            const int value = fault == "slow" ? static_cast<int>(random() % 100) : 1;
            if (simulator && simulator->SetFault(serial, fault, count, value) == sdk::S_OK)
                ++counters_.faults;
        }
    }

    // Clears every fault and plugs every microphone in afresh, so each is read once more.
    void settle() {
        const auto simulator = this->simulator();
        ASSERT_TRUE(simulator);
        for (const auto& [model, serial] : kMicrophones) {
            simulator->SetFault(serial, "clear", 0, 0);
            simulator->Unplug(serial);
            ASSERT_EQ(simulator->Plug(model, serial), sdk::S_OK);
        }
    }

    // Every acknowledged change is in the microphone, the cache and the description; waits
    // (bounded) for the microphones' reads after their last plug. The disagreements, if any.
    std::vector<std::string> disagreements() {
        const auto client = connect();
        std::vector<std::string> found;
        const auto deadline = Clock::now() + 3 * kBound;
        do {
            found.clear();
            for (const auto& [model, serial] : kMicrophones) {
                const auto device = deviceOf(*client, serial);
                if (!device) {
                    found.push_back(serial + " is not listed");
                    continue;
                }
                const auto microphone = readMicrophone(*device);
                std::string xml;
                static_cast<void>(device->GetDeviceXML(xml));
                for (const auto& [key, value] : ledger_.acknowledged()) {
                    if (key.first != serial)
                        continue;
                    const auto& info = settings::settingInfo(key.second);
                    const auto dsp = microphone.find(key.second);
                    const auto cached = cachedDword(serial, std::string(info.registryName));
                    const auto described = xmlValue(xml, info.xmlAttribute);
                    if (dsp == microphone.end() || dsp->second != value || cached != value ||
                        described != value) {
                        found.push_back(serial + " " + std::string(info.registryName) + ": " +
                                        std::to_string(value) + " acknowledged");
                    }
                }
            }
            if (found.empty())
                return found;
            pause(std::chrono::milliseconds(250));
        } while (Clock::now() < deadline);
        return found;
    }

    std::string microphoneList() const {
        std::string list;
        for (const auto& [model, serial] : kMicrophones)
            list += (list.empty() ? "" : ",") + model + ":" + serial;
        return list;
    }

    Ledger ledger_;
    Counters counters_;
};

TEST_F(SoakTest, ServiceStaysSoundUnderLoad) {
    startService(microphoneList());
    waitUntilRead({"SOAK1", "SOAK2", "SOAK3", "SOAK4", "SOAK5"});
    const pid_t pid = servicePid();
    const auto watcher = connect();
    ASSERT_TRUE(watcher);
    auto notifications = std::make_shared<NotificationRecorder>();
    ASSERT_EQ(watcher->AdviceSink(notifications), sdk::S_OK);

    const auto length = soakTime();
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c)
        threads.emplace_back([&, c] { runClient(c, stop, true); });
    threads.emplace_back([&] { runPlugger(stop); });
    threads.emplace_back([&] { runFaults(stop); });

    // The figures after a warm-up of a tenth of the time, their peaks, and those at the end.
    const auto start = Clock::now();
    std::optional<ProcessFigures> warm;
    ProcessFigures peak = ProcessFigures::of(pid);
    while (Clock::now() - start < length && serviceRunning()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const ProcessFigures now = ProcessFigures::of(pid);
        peak.takePeaks(now);
        if (!warm && Clock::now() - start >= length / 10)
            warm = now;
    }
    stop = true;
    for (auto& thread : threads)
        thread.join();
    threads.clear();
    ASSERT_TRUE(serviceRunning()) << serviceErrors();

    // The service answers, and every acknowledged change is everywhere.
    std::string version;
    EXPECT_EQ(watcher->GetVersion(version), sdk::S_OK);
    settle();
    const std::vector<std::string> wrong = disagreements();
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " disagreements, first: " << wrong.front();
    EXPECT_GT(notifications->received().size(), 0u);
    const ProcessFigures end = ProcessFigures::of(pid);
    peak.takePeaks(end);
    ASSERT_TRUE(warm);
    EXPECT_LE(end.threads, warm->threads + kThreadGrowth);
    EXPECT_LE(end.files, warm->files + kFileGrowth);
#if !defined(__SANITIZE_ADDRESS__)
    // (Under AddressSanitizer freed memory is held back on purpose; there only the figures
    // are shown.)
    EXPECT_LE(end.rssKiB, warm->rssKiB + kMemoryGrowthKiB);
#endif

    std::cout << "soak: " << length.count() << " s, " << kClients << " clients and a watcher, "
              << kMicrophones.size() << " microphones\n"
              << "soak: " << counters_.calls.load() << " calls, " << counters_.changes.load()
              << " changes (" << counters_.acknowledged.load() << " acknowledged, "
              << ledger_.uncertain() << " settings left unacknowledged), " << counters_.plugs.load()
              << " plugs and unplugs, " << counters_.faults.load() << " faults, "
              << notifications->received().size() << " notifications\n"
              << "soak: threads " << warm->threads << " after warm-up, peak " << peak.threads
              << ", end " << end.threads << "; open files " << warm->files << ", peak "
              << peak.files << ", end " << end.files << "; RSS " << warm->rssKiB / 1024
              << " MiB, peak " << peak.rssKiB / 1024 << " MiB, end " << end.rssKiB / 1024
              << " MiB\n";

    // More changes, and the service killed in the middle of them: a restarted service has every
    // acknowledged change in its cache (its microphones are others, so nothing is read anew).
    static_cast<void>(watcher->UnadviceSink(notifications));
    stop = false;
    for (int c = 0; c < kClients; ++c)
        threads.emplace_back([&, c] { runClient(c, stop, false); });
    std::this_thread::sleep_for(std::chrono::seconds(2));
    stopService(SIGKILL);
    stop = true;
    for (auto& thread : threads)
        thread.join();
    startService("Alder:OTHER1");
    const auto restarted = connect();
    ASSERT_TRUE(restarted);
    std::size_t checked = 0;
    for (const auto& [key, value] : ledger_.acknowledged()) {
        const auto& info = settings::settingInfo(key.second);
        EXPECT_EQ(cachedDword(key.first, std::string(info.registryName)), value)
            << key.first << " " << info.registryName;
        const auto device = deviceOf(*restarted, key.first);
        ASSERT_TRUE(device) << key.first;
        std::string xml;
        static_cast<void>(device->GetDeviceXML(xml));
        EXPECT_EQ(xmlValue(xml, info.xmlAttribute), value) << key.first << " " << xml;
        ++checked;
    }
    EXPECT_GT(checked, 0u);
    std::cout << "soak: after kill -9 and a restart, " << checked
              << " acknowledged settings all kept\n";
}

}  // namespace
}  // namespace qm::e2e
