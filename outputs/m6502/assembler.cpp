#include "outputs/m6502/assembler.h"

#include "outputs/m6502/opcodes.h"

#include <cassert>
#include <cctype>
#include <optional>

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

using Symbols = std::map<std::string, std::uint16_t>;

// A term's value, nothing while a name is not yet known, or a failure.
struct Value {
    std::optional<int> number;
    std::string problem;
};

Value term(std::string_view text, const Symbols& symbols)
{
    text = trimmed(text);
    if (text.empty())
        return {std::nullopt, "a number or name is missing"};
    if (text.front() == '<' || text.front() == '>') {
        Value inner = term(text.substr(1), symbols);
        if (inner.number)
            inner.number = text.front() == '<' ? (*inner.number & 0xFF) : ((*inner.number >> 8) & 0xFF);
        return inner;
    }
    const bool hex = text.front() == '&';
    if (hex || std::isdigit(static_cast<unsigned char>(text.front()))) {
        const std::string digits(hex ? text.substr(1) : text);
        std::size_t used = 0;
        int number = 0;
        try {
            number = std::stoi(digits, &used, hex ? 16 : 10);
        } catch (...) {
            used = 0;
        }
        if (digits.empty() || used != digits.size() || number > 0xFFFF)
            return {std::nullopt, "not a number: " + std::string(text)};
        return {number, {}};
    }
    for (char c : text)
        if (!isNameChar(c))
            return {std::nullopt, "not a name: " + std::string(text)};
    const auto known = symbols.find(std::string(text));
    if (known == symbols.end())
        return {std::nullopt, {}};
    return {known->second, {}};
}

// Terms joined by + and -.
Value expression(std::string_view text, const Symbols& symbols)
{
    int total = 0;
    bool known = true;
    int sign = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '+' && (text[i] != '-' || i == start))
            continue;
        const Value part = term(text.substr(start, i - start), symbols);
        if (!part.problem.empty())
            return part;
        if (part.number)
            total += sign * *part.number;
        else
            known = false;
        if (i < text.size())
            sign = text[i] == '+' ? 1 : -1;
        start = i + 1;
    }
    return {known ? std::optional<int>(total) : std::nullopt, {}};
}

struct Operand {
    AddressMode mode;
    std::string_view value;  // the expression, empty for none
};

bool isBranch(const std::string& mnemonic)
{
    return mnemonic.size() == 3 && mnemonic[0] == 'B' && mnemonic != "BIT";
}

// The operand's form; zero page or absolute is chosen later, by its value.
Operand operandForm(std::string_view text, const std::string& mnemonic)
{
    const std::string shape = upper(text);
    if (text.empty())
        return {AddressMode::Implied, {}};
    if (shape == "A")
        return {AddressMode::Accumulator, {}};
    if (text.front() == '#')
        return {AddressMode::Immediate, text.substr(1)};
    if (text.front() == '(' && shape.size() > 4 && shape.ends_with("),Y"))
        return {AddressMode::IndirectY, text.substr(1, text.size() - 4)};
    if (shape.ends_with(",X"))
        return {AddressMode::AbsoluteX, trimmed(text.substr(0, text.size() - 2))};
    if (shape.ends_with(",Y"))
        return {AddressMode::AbsoluteY, trimmed(text.substr(0, text.size() - 2))};
    return {isBranch(mnemonic) ? AddressMode::Relative : AddressMode::Absolute, text};
}

struct Line {
    std::size_t number;
    std::string_view label;  // before a ':' or an '='
    bool definition = false; // name = value
    std::string mnemonic;
    std::string_view operand;
};

Line parseLine(std::string_view text, std::size_t number)
{
    Line line{number, {}, false, {}, {}};
    if (const auto comment = text.find(';'); comment != std::string_view::npos)
        text = text.substr(0, comment);
    text = trimmed(text);
    if (const auto equals = text.find('='); equals != std::string_view::npos) {
        line.label = trimmed(text.substr(0, equals));
        line.definition = true;
        line.operand = trimmed(text.substr(equals + 1));
        return line;
    }
    if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        line.label = trimmed(text.substr(0, colon));
        text = trimmed(text.substr(colon + 1));
    }
    const auto space = text.find_first_of(" \t");
    line.mnemonic = upper(text.substr(0, space));
    if (space != std::string_view::npos)
        line.operand = trimmed(text.substr(space));
    return line;
}

class Assembler {
public:
    Assembler(std::string_view listing, std::uint16_t origin) : origin_(origin)
    {
        std::size_t number = 1;
        for (std::size_t start = 0; start <= listing.size(); ++number) {
            const auto end = std::min(listing.find('\n', start), listing.size());
            lines_.push_back(parseLine(listing.substr(start, end - start), number));
            start = end + 1;
        }
    }

    Result<Assembly> run()
    {
        for (const bool final : {false, true}) {
            bytes_.clear();
            if (const Status pass = runPass(final); !pass)
                return pass.failure();
        }
        return Assembly{origin_, bytes_, symbols_};
    }

private:
    Failure failure(const Line& line, const std::string& reason) const
    {
        return Failure{"line " + std::to_string(line.number), reason};
    }

    Status runPass(bool final)
    {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const Line& line = lines_[i];
            const auto pc = static_cast<std::uint16_t>(origin_ + bytes_.size());
            if (line.definition) {
                const Value value = expression(line.operand, symbols_);
                if (!value.problem.empty() || !value.number)
                    return failure(line, value.problem.empty() ? "a name defined before it is known" : value.problem);
                symbols_[std::string(line.label)] = static_cast<std::uint16_t>(*value.number);
                continue;
            }
            if (!line.label.empty())
                symbols_[std::string(line.label)] = pc;
            if (line.mnemonic.empty())
                continue;
            if (const Status put = instruction(line, i, final); !put)
                return put;
        }
        return Done{};
    }

    Status instruction(const Line& line, std::size_t index, bool final)
    {
        Operand operand = operandForm(line.operand, line.mnemonic);
        const Value value = operand.value.empty() ? Value{0, {}} : expression(operand.value, symbols_);
        if (!value.problem.empty())
            return failure(line, value.problem);
        if (final && !value.number && !operand.value.empty())
            return failure(line, "unknown name in " + std::string(operand.value));
        // The size chosen on the first pass holds on the second.
        if (!final)
            modes_[index] = narrowed(line.mnemonic, operand.mode, value.number);
        operand.mode = modes_[index];
        const auto opcode = opcodeFor(line.mnemonic, operand.mode);
        if (!opcode)
            return failure(line, "no " + line.mnemonic + " with this operand: " + std::string(line.operand));
        bytes_.push_back(*opcode);
        const int number = value.number.value_or(0);
        if (operand.mode == AddressMode::Relative) {
            const int distance = number - (origin_ + static_cast<int>(bytes_.size()) + 1);
            if (final && (distance < -128 || distance > 127))
                return failure(line, "branch out of reach");
            bytes_.push_back(static_cast<std::uint8_t>(distance & 0xFF));
            return Done{};
        }
        if (final && operandBytes(operand.mode) == 1 && (number < 0 || number > 0xFF))
            return failure(line, "not a byte: " + std::string(operand.value));
        for (int i = 0; i < operandBytes(operand.mode); ++i)
            bytes_.push_back(static_cast<std::uint8_t>((number >> (8 * i)) & 0xFF));
        return Done{};
    }

    // Zero page where the value is known to fit and the instruction has it.
    static AddressMode narrowed(const std::string& mnemonic, AddressMode mode, std::optional<int> value)
    {
        const bool small = value && *value >= 0 && *value < 0x100;
        if (small && mode == AddressMode::Absolute && opcodeFor(mnemonic, AddressMode::ZeroPage))
            return AddressMode::ZeroPage;
        if (small && mode == AddressMode::AbsoluteX && opcodeFor(mnemonic, AddressMode::ZeroPageX))
            return AddressMode::ZeroPageX;
        return mode;
    }

    std::uint16_t origin_;
    std::vector<Line> lines_;
    std::map<std::size_t, AddressMode> modes_;
    std::vector<std::uint8_t> bytes_;
    Symbols symbols_;
};

}  // namespace

std::uint16_t Assembly::address(const std::string& label) const
{
    const auto found = symbols.find(label);
    assert(found != symbols.end());
    return found->second;
}

Result<Assembly> assemble(std::string_view listing, std::uint16_t origin)
{
    return Assembler(listing, origin).run();
}
