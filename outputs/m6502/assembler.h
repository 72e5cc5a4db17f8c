#pragma once

#include "platform/failure.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// A small 6502 assembler for the routines our discs run on the BBC Micro,
// written in the usual style: "label:" or "name = value" (a number in
// decimal or &hex, a name, <name or >name for its low or high byte, and
// + or - between them), one instruction a line with its operand (#n, n,
// n,X, n,Y, (n),Y or A), and ";" comments. Operands below 256 that are
// known on the first pass use zero page where the instruction has it.
struct Assembly {
    std::uint16_t origin = 0;
    std::vector<std::uint8_t> bytes;
    std::map<std::string, std::uint16_t> symbols;  // labels and names

    // A label's address; the label must exist.
    std::uint16_t address(const std::string& label) const;
};

// `listing` assembled to run at `origin`, or the first line that cannot
// be: unknown instruction or name, an operand the instruction does not
// take, a branch out of reach.
Result<Assembly> assemble(std::string_view listing, std::uint16_t origin);
