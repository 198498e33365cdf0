// The transport to the instrument: four operations with the FTDI driver's status codes.
// Backends: libftdi1 (link/), the virtual instrument (instrument/), a recording link (link/).
#pragma once

#include <cstdint>

using FT_STATUS = std::uint32_t;

inline constexpr FT_STATUS FT_OK = 0;
inline constexpr FT_STATUS FT_INVALID_HANDLE = 1;
inline constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
inline constexpr FT_STATUS FT_IO_ERROR = 4;
inline constexpr FT_STATUS FT_INSUFFICIENT_RESOURCES = 5;

class TQvGen4Link {
public:
    virtual ~TQvGen4Link() = default;

    // Opens the first device.
    virtual FT_STATUS Open() = 0;
    virtual FT_STATUS Close() = 0;
    // Writes Count bytes; Written tells how many went out.
    virtual FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count,
                            std::uint32_t& Written) = 0;
    // Reads up to Count bytes; a backend gives up after a bounded time and reports how many came.
    virtual FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) = 0;
};
