#include "conversion/screen_modes.h"

ModeGeometry modeGeometry(int curmode)
{
    if (const ScreenMode* mode = findScreenMode(curmode))
        return {mode->rowbytes, mode->pixperbyte, mode->numcols};
    const int rowbytes = (curmode == 0 || curmode == 1 || curmode == 2) ? 80 : 40;
    if (curmode == 0 || curmode == 4)
        return {rowbytes, 8, 2};
    if (curmode == 1 || curmode == 5)
        return {rowbytes, 4, 4};
    return {rowbytes, 2, 8};
}
