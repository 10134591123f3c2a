#pragma once

#include <cstdint>

// The microphone's command frames: byte 0 of a frame is its command code, and the block number
// is byte 1 of a status request and byte 0 of the reply that carries the block. The service
// writes these frames and the simulator answers them, both from these names.
namespace qm::settings {

// Command codes.
inline constexpr std::uint8_t CMD_RESET = 0x02;
inline constexpr std::uint8_t CMD_GET_HW_VERSION = 0x03;
inline constexpr std::uint8_t CMD_GET_DIRECTION = 0x04;
inline constexpr std::uint8_t CMD_SET_DIR_VOLUME = 0x05;
inline constexpr std::uint8_t CMD_SET_DIR_ZOOM = 0x06;
inline constexpr std::uint8_t CMD_SET_DIR_BEAM = 0x07;
inline constexpr std::uint8_t CMD_GET_STATUS = 0x08;
inline constexpr std::uint8_t CMD_SET_DSP_VOLUME = 0x09;
inline constexpr std::uint8_t CMD_SET_ALC = 0x0A;
inline constexpr std::uint8_t CMD_SET_HPF_1 = 0x0B;
inline constexpr std::uint8_t CMD_SET_HPF_2 = 0x0C;
inline constexpr std::uint8_t CMD_SET_LPF = 0x0D;
inline constexpr std::uint8_t CMD_SET_EQ_GAIN = 0x0E;
inline constexpr std::uint8_t CMD_SET_EQ_MODE = 0x0F;
inline constexpr std::uint8_t CMD_GET_EXT_STATUS = 0x10;
inline constexpr std::uint8_t CMD_SET_EXT_OUT_VOLUME = 0x15;
inline constexpr std::uint8_t CMD_SET_EXT_TPA = 0x16;

// Block numbers: the settings blocks that CMD_GET_STATUS (00 to 04) and CMD_GET_EXT_STATUS
// (09, 0A) read.
inline constexpr std::uint8_t kBlockDsp = 0x00;
inline constexpr std::uint8_t kBlockAlc = 0x01;
inline constexpr std::uint8_t kBlockHpfLpf = 0x02;
inline constexpr std::uint8_t kBlockEqNotchGain = 0x03;
inline constexpr std::uint8_t kBlockEqPowerBwMode = 0x04;
inline constexpr std::uint8_t kBlockExtOutVolume = 0x09;
inline constexpr std::uint8_t kBlockExtTpa = 0x0A;

// Byte 1 of CMD_RESET, followed by the two key bytes.
inline constexpr std::uint8_t kResetDefault = 0x00;
inline constexpr std::uint8_t kResetStatus = 0x01;
inline constexpr std::uint8_t kResetWatchDog = 0x02;
inline constexpr std::uint8_t kResetKey1 = 0xAA;
inline constexpr std::uint8_t kResetKey2 = 0x55;

// Byte 1 of CMD_SET_ALC: which ALC setting the value byte changes.
inline constexpr std::uint8_t kAlcRecovery = 0x00;
inline constexpr std::uint8_t kAlcMode = 0x01;
inline constexpr std::uint8_t kAlcRefValue = 0x02;

// Byte 1 of CMD_SET_EQ_GAIN and CMD_SET_EQ_MODE: 0 changes the band mask (notch, power), 1 to 5
// the band of that number.
inline constexpr std::uint8_t kEqMask = 0x00;

// Byte 0 of an accepted acknowledgement and of the version reply.
inline constexpr std::uint8_t kReplyOk = 0x00;

}  // namespace qm::settings
