#pragma once

// Ids of the studio's commands, controls, panes and groups.
namespace qm::studio::ids {

// Frame.
inline constexpr int kTopWindow = 140;     // system-menu item "Top window"
inline constexpr int kProgressPane = 141;  // status bar
inline constexpr int kVersionPane = 144;   // status bar
inline constexpr int kSystemButton = 145;  // ribbon's system button, opens the backstage
inline constexpr int kAboutCommand = 57664;
inline constexpr int kExitCommand = 57665;
inline constexpr int kClientView = 59648;

// Ribbon: tab "Main".
inline constexpr int kGroupOutput = 5000;
inline constexpr int kOutputDevice = 5002;  // combo box of render endpoints
inline constexpr int kGroupDisplay = 5008;
inline constexpr int kReset = 5009;
inline constexpr int kGroupDevice = 5010;
inline constexpr int kRefresh = 5011;
inline constexpr int kProfileSave = 5012;
inline constexpr int kProfileApply = 5013;
inline constexpr int kGroupProfile = 5014;
inline constexpr int kOutputLabel = 5072;  // also the wave scale label
inline constexpr int kDisplayControl = 5090;
inline constexpr int kPreview = 6000;
inline constexpr int kRenameDevice = 6357;
inline constexpr int kRenameProfile = 6379;

// Ribbon: tab "Waveform".
inline constexpr int kGroupScaleType = 5015;
inline constexpr int kGroupWaveform = 5071;
inline constexpr int kWaveScaleLabel = 5072;
inline constexpr int kWaveScale = 5073;
inline constexpr int kWaveLogarithmic = 6370;
inline constexpr int kWaveLinear = 6371;

// Ribbon: tab "Specrum".
inline constexpr int kWindowFunction = 5070;
inline constexpr int kGroupSpectrum = 5074;
inline constexpr int kWindowFunctionLabel = 5075;
inline constexpr int kSpectrumLine = 5076;
inline constexpr int kSpectrumBar = 5077;
inline constexpr int kMarkerLpf = 5078;
inline constexpr int kMarkerHpf1 = 5079;
inline constexpr int kMarkerHpf2 = 5080;
inline constexpr int kMarkerEq = 5081;
inline constexpr int kGroupDrawMode = 5082;
inline constexpr int kGroupDrawMarkers = 5083;
inline constexpr int kGroupSpectrumView = 6270;
inline constexpr int kViewRealTime = 6271;
inline constexpr int kViewMiddle = 6272;
inline constexpr int kViewMin = 6273;
inline constexpr int kViewMax = 6274;
inline constexpr int kSpectrumBoundLabel = 6375;
inline constexpr int kSpectrumBound = 6376;

// Ribbon: tab "Service".
inline constexpr int kGroupService = 5060;
inline constexpr int kServiceStart = 5061;
inline constexpr int kServiceStop = 5062;
inline constexpr int kServiceRestart = 5063;

// Source pane and its list.
inline constexpr int kSourceList = 6010;
inline constexpr int kShowUnactive = 6011;
inline constexpr int kRemoveInactive = 6358;
inline constexpr int kRemoveAllInactive = 6359;

// Docking panes.
inline constexpr int kPaneSource = 6001;
inline constexpr int kPaneProfile = 6002;

// Wait dialog.
inline constexpr int kWaitText = 6400;
inline constexpr int kWaitProgress = 6401;

// Timer that redraws the microphone list.
inline constexpr int kListTimer = 11;

}  // namespace qm::studio::ids
