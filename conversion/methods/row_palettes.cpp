#include "conversion/methods/row_palettes.h"

namespace {

bool sameColours(const MethodPalette& a, const MethodPalette& b)
{
    if (a.count != b.count || a.physical != b.physical)
        return false;
    for (std::size_t i = 0; i < static_cast<std::size_t>(a.count); ++i)
        if (a.linear[i].r != b.linear[i].r || a.linear[i].g != b.linear[i].g || a.linear[i].b != b.linear[i].b)
            return false;
    return true;
}

}  // namespace

RowPalettes::RowPalettes(const std::vector<MethodPalette>& rows)
{
    assert(!rows.empty());
    number_.reserve(rows.size());
    for (const MethodPalette& palette : rows) {
        assert(palette.count == rows.front().count);
        if (distinct_.empty() || !::sameColours(distinct_.back(), palette))
            distinct_.push_back(palette);
        number_.push_back(static_cast<std::uint16_t>(distinct_.size() - 1));
    }
    if (distinct_.size() == 1)
        number_.clear();
}
