// The main of the test programs that open windows or GL contexts: they need
// a display (Xvfb when there is none), a compatibility GL context and an
// application object.
#include "app/viewer.h"

#include <GL/freeglut.h>
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests happens where there may be no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    glutInit(&argc, argv);
    setDefaultGLFormat();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
