#include "tests/support/frames.h"
#include "app/viewer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

void drawFrames(const Viewer& viewer, int n)
{
    const int target = viewer.frameStats().framesDrawn() + n;
    QElapsedTimer waited;
    waited.start();
    while (viewer.frameStats().framesDrawn() < target && !testing::Test::HasFailure()) {
        const int before = viewer.frameStats().framesDrawn();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (viewer.frameStats().framesDrawn() != before) waited.restart();
        ASSERT_LT(waited.elapsed(), 60000) << "no frame drawn for a minute";
    }
}
