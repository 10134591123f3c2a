#pragma once

#include <cstdint>

// The bridge channel of a microphone: the calls of the chip maker's HID-to-UART library for the
// CP2114, with the same arguments, string kinds and status codes. The service is given one
// implementation at start: the hidraw driver on real machines, virtual bridges in tests and in
// simulation mode.
namespace qm::hiduart {

using HID_UART_STATUS = std::int32_t;

// Status codes of the library.
inline constexpr HID_UART_STATUS HID_UART_SUCCESS = 0x00;
inline constexpr HID_UART_STATUS HID_UART_DEVICE_NOT_FOUND = 0x01;
inline constexpr HID_UART_STATUS HID_UART_INVALID_HANDLE = 0x02;
inline constexpr HID_UART_STATUS HID_UART_INVALID_DEVICE_OBJECT = 0x03;
inline constexpr HID_UART_STATUS HID_UART_INVALID_PARAMETER = 0x04;
inline constexpr HID_UART_STATUS HID_UART_INVALID_REQUEST_LENGTH = 0x05;
inline constexpr HID_UART_STATUS HID_UART_READ_ERROR = 0x10;
inline constexpr HID_UART_STATUS HID_UART_WRITE_ERROR = 0x11;
inline constexpr HID_UART_STATUS HID_UART_READ_TIMED_OUT = 0x12;
inline constexpr HID_UART_STATUS HID_UART_WRITE_TIMED_OUT = 0x13;
inline constexpr HID_UART_STATUS HID_UART_DEVICE_IO_FAILED = 0x14;
inline constexpr HID_UART_STATUS HID_UART_DEVICE_ACCESS_ERROR = 0x15;
inline constexpr HID_UART_STATUS HID_UART_DEVICE_NOT_SUPPORTED = 0x16;
inline constexpr HID_UART_STATUS HID_UART_UNKNOWN_ERROR = 0xFF;

// String kinds of GetString and GetOpenedString.
inline constexpr std::uint32_t HID_UART_GET_VID_STR = 0x01;
inline constexpr std::uint32_t HID_UART_GET_PID_STR = 0x02;
inline constexpr std::uint32_t HID_UART_GET_PATH_STR = 0x03;
inline constexpr std::uint32_t HID_UART_GET_SERIAL_STR = 0x04;
inline constexpr std::uint32_t HID_UART_GET_MANUFACTURER_STR = 0x05;
inline constexpr std::uint32_t HID_UART_GET_PRODUCT_STR = 0x06;

// Size of the text buffers that GetString and GetOpenedString fill, terminator included.
inline constexpr std::uint32_t HID_UART_DEVICE_STRLEN = 260;

// UART configuration codes of SetUartConfig.
inline constexpr std::uint8_t HID_UART_FIVE_DATA_BITS = 0x00;
inline constexpr std::uint8_t HID_UART_SIX_DATA_BITS = 0x01;
inline constexpr std::uint8_t HID_UART_SEVEN_DATA_BITS = 0x02;
inline constexpr std::uint8_t HID_UART_EIGHT_DATA_BITS = 0x03;
inline constexpr std::uint8_t HID_UART_NO_PARITY = 0x00;
inline constexpr std::uint8_t HID_UART_ODD_PARITY = 0x01;
inline constexpr std::uint8_t HID_UART_EVEN_PARITY = 0x02;
inline constexpr std::uint8_t HID_UART_MARK_PARITY = 0x03;
inline constexpr std::uint8_t HID_UART_SPACE_PARITY = 0x04;
// Short: one stop bit. Long: 1.5 stop bits with five data bits, two otherwise.
inline constexpr std::uint8_t HID_UART_SHORT_STOP_BIT = 0x00;
inline constexpr std::uint8_t HID_UART_LONG_STOP_BIT = 0x01;
inline constexpr std::uint8_t HID_UART_NO_FLOW_CONTROL = 0x00;
inline constexpr std::uint8_t HID_UART_RTS_CTS_FLOW_CONTROL = 0x01;

// Baud rates the bridges accept.
inline constexpr std::uint32_t HID_UART_MIN_BAUD_RATE = 300;
inline constexpr std::uint32_t HID_UART_MAX_BAUD_RATE = 1'000'000;

// Request sizes of Read and Write; other sizes give HID_UART_INVALID_REQUEST_LENGTH.
inline constexpr std::uint32_t HID_UART_MIN_READ_SIZE = 1;
inline constexpr std::uint32_t HID_UART_MAX_READ_SIZE = 32768;
inline constexpr std::uint32_t HID_UART_MIN_WRITE_SIZE = 1;
inline constexpr std::uint32_t HID_UART_MAX_WRITE_SIZE = 4096;

// Read and write time-outs of a newly opened bridge, in milliseconds.
inline constexpr std::uint32_t HID_UART_DEFAULT_READ_TIMEOUT_MS = 1000;
inline constexpr std::uint32_t HID_UART_DEFAULT_WRITE_TIMEOUT_MS = 1000;

// The chip maker's USB vendor id and the product ids of its HID-to-UART family that we know.
inline constexpr std::uint16_t kSiliconLabsVid = 0x10C4;
inline constexpr std::uint16_t kCp2114Pid = 0xEAB0;
inline constexpr std::uint16_t kCp2110Pid = 0xEA80;

// An opened bridge. 0 is never a valid handle; a handle stays invalid after Close, so a stale
// handle gives HID_UART_INVALID_HANDLE instead of touching freed state.
using HID_UART_DEVICE = std::uint64_t;
inline constexpr HID_UART_DEVICE kNoDevice = 0;

class HidUartApi {
  public:
    virtual ~HidUartApi() = default;

    // vid 0 and pid 0 select every bridge of the HID-to-UART family.
    [[nodiscard]] virtual HID_UART_STATUS GetNumDevices(std::uint32_t* numDevices,
                                                        std::uint16_t vid, std::uint16_t pid) = 0;
    // Fills `deviceString` (HID_UART_DEVICE_STRLEN bytes) with a zero-terminated string of the
    // given kind for the bridge at `deviceNum` of the current enumeration.
    [[nodiscard]] virtual HID_UART_STATUS GetString(std::uint32_t deviceNum, std::uint16_t vid,
                                                    std::uint16_t pid, char* deviceString,
                                                    std::uint32_t options) = 0;
    [[nodiscard]] virtual HID_UART_STATUS GetOpenedString(HID_UART_DEVICE device,
                                                          char* deviceString,
                                                          std::uint32_t options) = 0;
    [[nodiscard]] virtual HID_UART_STATUS Open(HID_UART_DEVICE* device, std::uint32_t deviceNum,
                                               std::uint16_t vid, std::uint16_t pid) = 0;
    [[nodiscard]] virtual HID_UART_STATUS Close(HID_UART_DEVICE device) = 0;
    [[nodiscard]] virtual HID_UART_STATUS IsOpened(HID_UART_DEVICE device, bool* opened) = 0;
    [[nodiscard]] virtual HID_UART_STATUS SetUartConfig(HID_UART_DEVICE device,
                                                        std::uint32_t baudRate,
                                                        std::uint8_t dataBits, std::uint8_t parity,
                                                        std::uint8_t stopBits,
                                                        std::uint8_t flowControl) = 0;
    [[nodiscard]] virtual HID_UART_STATUS SetTimeouts(HID_UART_DEVICE device,
                                                      std::uint32_t readTimeoutMs,
                                                      std::uint32_t writeTimeoutMs) = 0;
    [[nodiscard]] virtual HID_UART_STATUS GetTimeouts(HID_UART_DEVICE device,
                                                      std::uint32_t* readTimeoutMs,
                                                      std::uint32_t* writeTimeoutMs) = 0;
    [[nodiscard]] virtual HID_UART_STATUS Write(HID_UART_DEVICE device, const std::uint8_t* buffer,
                                                std::uint32_t numBytesToWrite,
                                                std::uint32_t* numBytesWritten) = 0;
    // Reads until `numBytesToRead` bytes arrived or the read time-out passed; on time-out the
    // status is HID_UART_READ_TIMED_OUT and what arrived is at the start of `buffer`.
    [[nodiscard]] virtual HID_UART_STATUS Read(HID_UART_DEVICE device, std::uint8_t* buffer,
                                               std::uint32_t numBytesToRead,
                                               std::uint32_t* numBytesRead) = 0;
};

}  // namespace qm::hiduart
