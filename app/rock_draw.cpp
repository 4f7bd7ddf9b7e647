#include "app/rock.h"
#include <GL/freeglut.h>

namespace rock {

void drawRock()
{
    const RockState& s = state();
    glPushMatrix();
    glTranslatef(s.rockPosition[0], s.rockPosition[1], s.rockPosition[2] + 0.9f * s.rockSize);
    // A rock at rest has no rolling axis.
    if (!s.direct && (s.rockVelocity[0] != 0 || s.rockVelocity[1] != 0))
        glRotatef(s.rollAngle, -s.rockVelocity[1], s.rockVelocity[0], 0);
    glutSolidSphere(s.rockSize, 10, 10);
    glPopMatrix();
}

} // namespace rock
