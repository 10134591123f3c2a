#include "studio/shell/studio_settings.h"

#include <utility>

#include "platform/registry/value_rules.h"
#include "studio/controls/registry_manager.h"
#include "studio/shell/studio_keys.h"

namespace qm::studio {
namespace {

void readDword(const registry::Key& key, const char* name, std::uint32_t& target) {
    if (const auto value = registry::readDword(key, name)) {
        target = *value;
    }
}

}  // namespace

void readStartupSettings(const registry::Key& settingsKey, StudioSettings& settings) {
    readDword(settingsKey, "Test", settings.test);
    readDword(settingsKey, "SpectrumView", settings.spectrumView);
    readDword(settingsKey, "SpectrumLabel", settings.spectrumLabel);
    readDword(settingsKey, "SpectrumMode", settings.spectrumMode);
    readDword(settingsKey, "WindowFunc", settings.windowFunc);
    readDword(settingsKey, "WaveScale", settings.waveScale);
    readDword(settingsKey, "WaveMode", settings.waveMode);
    readDword(settingsKey, "SpectrumBound", settings.spectrumBound);
    readDword(settingsKey, "UpdateALC", settings.updateAlc);
}

void readFrameSettings(const controls::RegistryManager& registry, StudioSettings& settings) {
    const std::pair<const char*, std::uint32_t*> colors[] = {
        {"ColorPeakNorm", &settings.colorPeakNorm},
        {"ColorPeakMid", &settings.colorPeakMid},
        {"ColorPeakMax", &settings.colorPeakMax},
        {"ColorWaveform", &settings.colorWaveform},
        {"ColorSpectrum", &settings.colorSpectrum},
        {"ColorSpectrumHold", &settings.colorSpectrumHold},
        {"ColorSpectrumLPF", &settings.colorSpectrumLpf},
        {"ColorSpectrumHPF_1", &settings.colorSpectrumHpf1},
        {"ColorSpectrumHPF_2", &settings.colorSpectrumHpf2},
        {"ColorSpectrumEQ", &settings.colorSpectrumEq},
    };
    for (const auto& [name, target] : colors) {
        if (const auto color = registry.getProfileColor(keys::kColors, name)) {
            *target = *color;
        }
    }
    if (const auto fill = registry.getProfileInt(keys::kColors, "SpectrumFill")) {
        settings.spectrumFill = *fill;
    }
    if (const auto preview = registry.getProfileInt(keys::kSettings, "Preview")) {
        settings.preview = *preview;
    }
    if (const auto show = registry.getProfileInt(keys::kSettings, "ShowUnactive")) {
        settings.showUnactive = *show;
    }
    if (const auto volume = registry.getProfileDouble(keys::kOptions, "VolumeOutput")) {
        settings.volumeOutput = static_cast<float>(*volume);
    }
    if (const auto volume = registry.getProfileDouble(keys::kOptions, "VolumeInput")) {
        settings.volumeInput = static_cast<float>(*volume);
    }
    if (const auto graph = registry.getProfileInt(keys::kOptions, "GraphCPU")) {
        settings.graphCpu = *graph;
    }
    if (const auto split = registry.getProfileDouble(keys::kSplitter, "Waveform_V")) {
        settings.waveformSplit = *split;
    }
}

}  // namespace qm::studio
