#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/meas_set_data.h"

// The variable list of one MUX channel as the instrument keeps it: 42 fields (69 on the VX6208),
// each narrowed to the width the instrument stores it with. Field 34 is the user unit in double
// quotes; the others are integers, doubles travelling as their eight bytes in two 32-bit halves.

[[nodiscard]] int ChannelFieldCount(int32_t modelCode);

// The fields of a channel, in order, as sent.
[[nodiscard]] std::vector<std::string> PackChannel(int32_t modelCode, const MuxPinSet& pin, const MeasCondition& cond);

// Stores the fields (as split from a reply; ChannelFieldCount of them) into the channel. False,
// with nothing stored, when a field is no integer or does not fit the width it is kept with.
[[nodiscard]] bool UnpackChannel(int32_t modelCode, const std::vector<std::string>& fields, MuxPinSet& pin, MeasCondition& cond);

// The scaling factor A as a mantissa of four decimals and a decimal exponent (A = m / 10^4 * 10^e).
void EncodeScalingA(double a, int64_t& mantissa, int64_t& exponent);
[[nodiscard]] double DecodeScalingA(int64_t mantissa, int64_t exponent);

// Whether a value read back fits a field of the given width, as a signed or an unsigned number.
[[nodiscard]] bool FitsWidth(int64_t value, int bits);

// A value cut to the given width, keeping its lower bits, read back signed or unsigned.
[[nodiscard]] int64_t Narrow(int64_t value, int bits, bool isSigned);
