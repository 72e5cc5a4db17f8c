#include "packaging/icons/app_icon.h"

#include <QSize>
#include <QString>

namespace {

// The sizes rendered from rasterine.svg at build time (icons/CMakeLists.txt).
constexpr int kIconSizes[] = {RASTERINE_ICON_SIZES};

}  // namespace

QIcon rasterineIcon()
{
    QIcon icon;
    for (int size : kIconSizes) {
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/rasterine.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}
