#pragma once

#include <cstdint>

#include "platform/registry/key.h"

namespace qm::studio::controls {
class RegistryManager;
}

namespace qm::studio {

// The settings every view of the studio shares, with their defaults. Written only on the main
// thread.
struct StudioSettings {
    // Settings
    std::uint32_t spectrumView = 2;     // real time 1, middle 2, min 4, max 8
    std::uint32_t spectrumLabel = 0;    // markers: LPF 1, HPF 1 2, HPF 2 4, EQ 8
    std::uint32_t spectrumMode = 1;     // line 0, bar 1
    std::uint32_t windowFunc = 4;       // index of the window function
    std::uint32_t waveScale = 480;      // samples per waveform pixel
    std::uint32_t waveMode = 0;         // logarithmic 0, linear 1
    std::uint32_t spectrumBound = 200;  // lower bound of the spectrum, dB below 0
    std::uint32_t updateAlc = 0;        // ALC refresh period in ms, 0 = manual
    std::uint32_t preview = 1;          // audio preview on
    std::uint32_t showUnactive = 1;     // list inactive microphones too
    std::uint32_t stayOnTop = 0;
    std::uint32_t test = 0;  // transform of the analysis: 0 power spectrum, 1 amplitude

    // Colors (0x00BBGGRR)
    std::uint32_t colorPeakNorm = 0xEDDAC3;
    std::uint32_t colorPeakMid = 0x00FFFF;
    std::uint32_t colorPeakMax = 0x0000FF;
    std::uint32_t colorWaveform = 0xEDDAC3;
    std::uint32_t colorSpectrum = 0xEDDAC3;
    std::uint32_t colorSpectrumHold = 0x3232C8;
    std::uint32_t colorSpectrumLpf = 0x00FFFF;
    std::uint32_t colorSpectrumHpf1 = 0xFF00FF;
    std::uint32_t colorSpectrumHpf2 = 0xFFFF00;
    std::uint32_t colorSpectrumEq = 0x0080FF;
    std::uint32_t spectrumFill = 8;  // transparency of the spectrum fill, percent

    // Options
    float volumeOutput = 0.5f;
    float volumeInput = 0.5f;
    std::uint32_t graphCpu = 0;

    // Splitter
    double waveformSplit = 0.5;  // share of the waveform beside the spectrum
};

// Reads Test, SpectrumView, SpectrumLabel, SpectrumMode, WindowFunc, WaveScale, WaveMode,
// SpectrumBound and UpdateALC, in this order, from the open Settings key. Only a value stored as
// REG_DWORD replaces the default.
void readStartupSettings(const registry::Key& settingsKey, StudioSettings& settings);

// Reads what the main frame takes when it is created: the colours, SpectrumFill, Preview,
// ShowUnactive, VolumeOutput, VolumeInput, GraphCPU and the waveform split.
void readFrameSettings(const controls::RegistryManager& registry, StudioSettings& settings);

}  // namespace qm::studio
