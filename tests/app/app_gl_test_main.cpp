// The viewer needs a display (Xvfb when there is none) and a compatibility GL context.
#include <GL/freeglut.h>
#include <QApplication>
#include "app/viewer.h"
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests happens at build time, where there may be no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    glutInit(&argc, argv);
    setDefaultGLFormat();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
