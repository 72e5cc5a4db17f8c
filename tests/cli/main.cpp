#include <QCoreApplication>

#include <gtest/gtest.h>

// The tests decode and encode pictures and start processes; like the
// converter itself they need a core application and no display.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
