// The camera's part of the scene file: the viewer's camera frame.
#include "app/scene_file.h"
#include "app/viewer.h"
#include <QGLViewer/manipulatedCameraFrame.h>
#include "util/number.h"
#include "util/xml_attributes.h"
#include <algorithm>

void writeCameraSection(xmlNodePtr parent)
{
    xmlNodePtr element = xmlNewNode(nullptr, BAD_CAST "camera");
    if (theViewer) {
        const qglviewer::Vec p = theViewer->camera()->position();
        const qglviewer::Quaternion q = theViewer->camera()->orientation();
        const float position[3] = {float(p.x), float(p.y), float(p.z)};
        const float orientation[4] = {float(q[0]), float(q[1]), float(q[2]), float(q[3])};
        util::writeFloats(element, "position", position, 3, 4);
        util::writeFloats(element, "orientation", orientation, 4, 4);
    }
    xmlAddChild(parent, element);
}

void readCameraSection(xmlNodePtr element)
{
    if (!theViewer) return;
    qglviewer::Camera* camera = theViewer->camera();
    // A refused number keeps the current value; a missing one reads as zero.
    const qglviewer::Vec p = camera->position();
    const qglviewer::Quaternion o = camera->orientation();
    float position[3] = {float(p.x), float(p.y), float(p.z)};
    float orientation[4] = {float(o[0]), float(o[1]), float(o[2]), float(o[3])};
    std::fill(position + util::readFloats(element, "position", position, 3), position + 3, 0.0f);
    std::fill(orientation + util::readFloats(element, "orientation", orientation, 4), orientation + 4, 0.0f);
    // Bounded as every setting is: at 1e38 the view's matrices overflow.
    for (float& v : position) v = util::bounded(v);
    qglviewer::Quaternion q(orientation[0], orientation[1], orientation[2], orientation[3]);
    // A zero quaternion shows like the identity but turns the camera into
    // NaNs at its first mouse rotation (the frame normalises it), so it is
    // taken as the identity; any other is normalised as the frame would.
    if (q[0] == 0 && q[1] == 0 && q[2] == 0 && q[3] == 0)
        q = qglviewer::Quaternion();
    else
        q.normalize();
    camera->setOrientation(q);
    camera->frame()->setPosition(qglviewer::Vec(position[0], position[1], position[2]));
}
