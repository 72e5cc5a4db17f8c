#include "conversion/teletext/teletext_mode.h"

#include "conversion/side_file.h"

std::string infLine(const TeletextMode& mode)
{
    return infLine(mode.screenStart, static_cast<std::uint32_t>(mode.screenBytes()));
}
