#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The 6502's addressing modes that our routines use.
enum class AddressMode : std::uint8_t {
    Implied, Accumulator, Immediate, ZeroPage, ZeroPageX, Absolute, AbsoluteX, AbsoluteY, IndirectY, Relative
};

// The opcode of `mnemonic` (upper case) in `mode`, if the 6502 has it.
std::optional<std::uint8_t> opcodeFor(std::string_view mnemonic, AddressMode mode);

// How many operand bytes follow the opcode.
int operandBytes(AddressMode mode);
