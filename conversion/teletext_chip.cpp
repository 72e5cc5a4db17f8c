#include "conversion/teletext_chip.h"

namespace {

// Applies control code `code` (0..31) to the state, as the chip does at the
// cell the code sits in.
void applyControl(ChipState& state, std::uint8_t code)
{
    if (code >= 1 && code <= 7) {
        state.graphics = false;
        state.foreground = code;
    } else if (code >= 17 && code <= 23) {
        state.graphics = true;
        state.foreground = code & 7;
    } else if (code == 24) {
        state.foreground = state.background;
    } else if (code == 25 || code == 26) {
        state.separated = code == 26;
    } else if (code == 28) {
        state.background = 0;
    } else if (code == 29) {
        state.background = state.foreground;
    } else if (code == 30 || code == 31) {
        state.hold = code == 30;
    }
}

CellLook showCharacter(ChipState& state, std::uint8_t character)
{
    const CellLook blank{0, false, state.foreground, state.background};
    if (!state.graphics) {
        state.held = 0;
        state.heldSeparated = false;
        return blank;
    }
    if ((character & 0x20) == 0)  // &40..&5F: capital letters even in graphics mode
        return blank;
    state.held = sixelsOf(character);
    state.heldSeparated = state.held != 0 && state.separated;
    return CellLook{state.held, state.separated, state.foreground, state.background};
}

}  // namespace

CellLook showCell(ChipState& state, std::uint8_t byte)
{
    const std::uint8_t character = byte & 0x7F;
    if (character >= 0x20)
        return showCharacter(state, character);

    const bool wasGraphics = state.graphics, wasHold = state.hold;
    // The colour in force when the cell began draws it (conceal changes it at once).
    const std::uint8_t drawn = character == 24 ? state.background : state.foreground;
    applyControl(state, character);
    CellLook look{0, false, drawn, state.background};
    if (wasGraphics && (wasHold || state.hold)) {
        look.sixels = state.held;
        look.separated = state.heldSeparated;
    } else {
        state.held = 0;
        state.heldSeparated = false;
    }
    return look;
}
