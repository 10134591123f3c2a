#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The HID reports of the CP2110/CP2114 HID-to-UART bridges that the driver uses, as the chip
// maker's interface note for these parts (Silicon Labs AN434) defines them:
//
// | Id        | Kind                 | Direction | Bytes after the id                            |
// |-----------|----------------------|-----------|-----------------------------------------------|
// | 0x01-0x3F | interrupt data       | out       | id = number of UART bytes that follow (1..63) |
// | 0x01-0x3F | interrupt data       | in        | id = number of UART bytes that follow (1..63) |
// | 0x41      | Get/Set UART Enable  | feature   | [1] 0x01 enable, 0x00 disable                 |
// | 0x46      | Get Version Info     | feature   | [1] part number (0x0A CP2110, 0x0E CP2114),   |
// |           |                      |           | [2] device version                            |
// | 0x50      | Get/Set UART Config  | feature   | [1..4] baud rate, big-endian; [5] parity      |
// |           |                      |           | 0 none 1 odd 2 even 3 mark 4 space;           |
// |           |                      |           | [6] flow control 0 none 1 RTS/CTS;            |
// |           |                      |           | [7] data bits 0..3 = 5..8; [8] stop bits      |
// |           |                      |           | 0 short 1 long                                |
//
// The configuration codes of SetUartConfig are the bytes of report 0x50 unchanged.
//
// Every report the driver sends is 64 bytes long, zero-padded after its last field, as the
// chip maker's own library puts them on the wire; the device reads only the bytes its report
// descriptor defines for the id.
//
// Input reports: the id byte is the count of UART bytes that follow. A report is taken only
// when that count is 1..63 and the report that arrived holds that many bytes after the id.
// An id of 0 carries nothing; an id above 63 is not a data report; a report shorter than its
// id claims is corrupt (its bytes cannot be told apart from padding). Such reports are dropped,
// whole, as the chip maker's library does, and never read past the bytes that arrived.
namespace qm::hiduart::cp2114 {

inline constexpr std::size_t kReportLength = 64;
inline constexpr std::size_t kMaxDataPerReport = 63;

inline constexpr std::uint8_t kUartEnableReport = 0x41;
inline constexpr std::uint8_t kVersionInfoReport = 0x46;
inline constexpr std::uint8_t kUartConfigReport = 0x50;

inline constexpr std::uint8_t kPartCp2110 = 0x0A;
inline constexpr std::uint8_t kPartCp2114 = 0x0E;

using Report = std::array<std::uint8_t, kReportLength>;

struct UartConfig {
    std::uint32_t baudRate = 0;
    std::uint8_t dataBits = 0;
    std::uint8_t parity = 0;
    std::uint8_t stopBits = 0;
    std::uint8_t flowControl = 0;
};

Report uartEnableReport(bool enable);
Report uartConfigReport(const UartConfig& config);
// A data report carrying the first min(63, data.size()) bytes of `data`.
Report dataReport(std::span<const std::uint8_t> data);

// Why an input report gave no data.
enum class InputReportKind {
    Data,       // carries UART bytes
    Empty,      // nothing arrived, or id 0
    NotData,    // id above 63
    Truncated,  // fewer bytes arrived than the id announces
};

struct InputReportData {
    InputReportKind kind = InputReportKind::Empty;
    std::span<const std::uint8_t> data;  // inside the received bytes; empty unless Data
};

// The UART bytes of an input report of which `received` arrived (id byte first).
InputReportData parseInputReport(std::span<const std::uint8_t> received);

}  // namespace qm::hiduart::cp2114
