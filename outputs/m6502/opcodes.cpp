#include "outputs/m6502/opcodes.h"

#include <array>

namespace {

struct Opcode {
    std::string_view mnemonic;
    AddressMode mode;
    std::uint8_t code;
};

using M = AddressMode;

// The part of the 6502's instruction set the routines need.
constexpr std::array kOpcodes{
    Opcode{"ADC", M::Immediate, 0x69}, Opcode{"ADC", M::ZeroPage, 0x65},   Opcode{"ADC", M::Absolute, 0x6D},
    Opcode{"AND", M::Immediate, 0x29}, Opcode{"ASL", M::Accumulator, 0x0A}, Opcode{"ASL", M::ZeroPage, 0x06},
    Opcode{"ASL", M::Absolute, 0x0E},  Opcode{"BCC", M::Relative, 0x90},   Opcode{"BCS", M::Relative, 0xB0},
    Opcode{"BEQ", M::Relative, 0xF0},  Opcode{"BMI", M::Relative, 0x30},   Opcode{"BNE", M::Relative, 0xD0},
    Opcode{"BPL", M::Relative, 0x10},  Opcode{"CLC", M::Implied, 0x18},    Opcode{"CMP", M::Immediate, 0xC9},
    Opcode{"CMP", M::ZeroPage, 0xC5},  Opcode{"CMP", M::Absolute, 0xCD},   Opcode{"DEX", M::Implied, 0xCA},
    Opcode{"DEY", M::Implied, 0x88},   Opcode{"INC", M::ZeroPage, 0xE6},   Opcode{"INC", M::Absolute, 0xEE},
    Opcode{"INX", M::Implied, 0xE8},   Opcode{"INY", M::Implied, 0xC8},    Opcode{"JMP", M::Absolute, 0x4C},
    Opcode{"JSR", M::Absolute, 0x20},  Opcode{"LDA", M::Immediate, 0xA9},  Opcode{"LDA", M::ZeroPage, 0xA5},
    Opcode{"LDA", M::Absolute, 0xAD},  Opcode{"LDA", M::AbsoluteX, 0xBD},  Opcode{"LDA", M::AbsoluteY, 0xB9},
    Opcode{"LDA", M::IndirectY, 0xB1}, Opcode{"LDX", M::Immediate, 0xA2},  Opcode{"LDX", M::ZeroPage, 0xA6},
    Opcode{"LDY", M::Immediate, 0xA0}, Opcode{"LDY", M::ZeroPage, 0xA4},   Opcode{"LSR", M::Accumulator, 0x4A},
    Opcode{"LSR", M::ZeroPage, 0x46},  Opcode{"PHA", M::Implied, 0x48},    Opcode{"PHP", M::Implied, 0x08},
    Opcode{"PLA", M::Implied, 0x68},   Opcode{"PLP", M::Implied, 0x28},    Opcode{"ROL", M::Accumulator, 0x2A},
    Opcode{"ROL", M::ZeroPage, 0x26},  Opcode{"ROR", M::Accumulator, 0x6A}, Opcode{"ROR", M::ZeroPage, 0x66},
    Opcode{"RTS", M::Implied, 0x60},   Opcode{"SBC", M::Immediate, 0xE9},  Opcode{"SBC", M::ZeroPage, 0xE5},
    Opcode{"SEC", M::Implied, 0x38},   Opcode{"STA", M::ZeroPage, 0x85},   Opcode{"STA", M::Absolute, 0x8D},
    Opcode{"STA", M::AbsoluteX, 0x9D}, Opcode{"STA", M::AbsoluteY, 0x99},  Opcode{"STA", M::IndirectY, 0x91},
    Opcode{"STX", M::ZeroPage, 0x86},  Opcode{"STY", M::ZeroPage, 0x84},   Opcode{"TAX", M::Implied, 0xAA},
    Opcode{"BIT", M::ZeroPage, 0x24},  Opcode{"BIT", M::Absolute, 0x2C},  Opcode{"NOP", M::Implied, 0xEA},
    Opcode{"STX", M::Absolute, 0x8E},  Opcode{"STY", M::Absolute, 0x8C},  Opcode{"LDX", M::Absolute, 0xAE},
    Opcode{"LDX", M::AbsoluteY, 0xBE}, Opcode{"CPX", M::Immediate, 0xE0}, Opcode{"SEI", M::Implied, 0x78},
    Opcode{"EOR", M::Immediate, 0x49}, Opcode{"ORA", M::Immediate, 0x09},
    Opcode{"TAY", M::Implied, 0xA8},   Opcode{"TXA", M::Implied, 0x8A},    Opcode{"TYA", M::Implied, 0x98},
};

}  // namespace

std::optional<std::uint8_t> opcodeFor(std::string_view mnemonic, AddressMode mode)
{
    for (const Opcode& opcode : kOpcodes)
        if (opcode.mnemonic == mnemonic && opcode.mode == mode)
            return opcode.code;
    return std::nullopt;
}

int operandBytes(AddressMode mode)
{
    switch (mode) {
    case M::Implied:
    case M::Accumulator:
        return 0;
    case M::Absolute:
    case M::AbsoluteX:
    case M::AbsoluteY:
        return 2;
    default:
        return 1;
    }
}
