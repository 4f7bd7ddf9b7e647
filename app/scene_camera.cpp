// The camera's part of the scene file: the viewer's camera frame.
#include "app/scene_file.h"
#include "app/viewer.h"

#include <cstdio>
#include <string>

void writeCameraSection(xmlNodePtr parent)
{
    xmlNodePtr element = xmlNewNode(nullptr, BAD_CAST "camera");
    if (theViewer) {
        const qglviewer::Vec p = theViewer->camera()->position();
        const qglviewer::Quaternion q = theViewer->camera()->orientation();
        char text[160];
        std::snprintf(text, sizeof text, "%.4f %.4f %.4f", p.x, p.y, p.z);
        xmlNewProp(element, BAD_CAST "position", BAD_CAST text);
        std::snprintf(text, sizeof text, "%.4f %.4f %.4f %.4f", q[0], q[1], q[2], q[3]);
        xmlNewProp(element, BAD_CAST "orientation", BAD_CAST text);
    }
    xmlAddChild(parent, element);
}

void readCameraSection(xmlNodePtr element)
{
    if (!theViewer) return;
    float position[3] = {0, 0, 0};
    float orientation[4] = {0, 0, 0, 0};
    readFloats(element, "position", position, 3);
    readFloats(element, "orientation", orientation, 4);
    qglviewer::Camera* camera = theViewer->camera();
    camera->setOrientation(qglviewer::Quaternion(orientation[0], orientation[1], orientation[2], orientation[3]));
    camera->frame()->setPosition(qglviewer::Vec(position[0], position[1], position[2]));
}
