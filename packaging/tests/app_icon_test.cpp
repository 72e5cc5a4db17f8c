#include "packaging/icons/app_icon.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTest>

namespace {

constexpr int kIconSizes[] = {RASTERINE_ICON_SIZES};

}  // namespace

class AppIconTest : public QObject {
    Q_OBJECT

private slots:
    void offersEverySize_data();
    void offersEverySize();
};

void AppIconTest::offersEverySize_data()
{
    QTest::addColumn<int>("size");
    for (int size : kIconSizes) {
        QTest::newRow(qPrintable(QStringLiteral("%1 px").arg(size))) << size;
    }
}

// Each size is drawn from its own PNG, not scaled from another, and shows
// the picture: a screen in BBC Micro colours inside transparent corners.
void AppIconTest::offersEverySize()
{
    QFETCH(int, size);
    const QIcon icon = rasterineIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));

    const QImage image = icon.pixmap(QSize(size, size)).toImage();
    QCOMPARE(image.size(), QSize(size, size));
    QCOMPARE(image.pixelColor(0, size - 1).alpha(), 0);

    // Near the top left of the screen the sky is pure BBC Micro blue; at
    // 16 px, where one pixel also takes in the bezel, it is still blue.
    const QColor sky = image.pixelColor(size * 80 / 256, size * 44 / 256);
    if (size >= 32) {
        QCOMPARE(sky.rgb(), qRgb(0, 0, 255));
    } else {
        QVERIFY(sky.blue() > 2 * qMax(sky.red(), sky.green()));
    }
}

QTEST_MAIN(AppIconTest)
#include "app_icon_test.moc"
