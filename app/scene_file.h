#pragma once
/// The scene file: an XML document holding the animation settings and
/// display switches, the camera, the rock and the ground, wind, grass and
/// forest sections. Read files are validated against their document type
/// ("sceneVelmora.dtd" beside the file, or the program's own
/// Scene/sceneVelmora.dtd when none stands there) before anything is applied.
/// Attributes are written and read by util/xml_attributes.h.
#include <libxml/tree.h>
#include <string>

/// Writes the whole scene to `name` (an 8-bit local file name). The document
/// goes to a temporary file beside the target that replaces it only once
/// complete, so a failed save leaves any previous file intact. False, with a
/// console message, when the file could not be written; `reason`, when
/// given, then receives the system's reason.
bool saveSceneFile(const char* name, std::string* reason = nullptr);

/// Reads, validates and applies the scene file `name`. Nothing is applied
/// when it cannot be parsed or is not valid. True when the four module
/// sections and the "parameters" element were all read; the sections that
/// were present are applied either way. On failure `reason`, when given,
/// receives the first line the XML library printed, or else what was missing.
bool loadSceneFile(const char* name, std::string* reason = nullptr);

/// The name a scene is saved under: `chosen`, with ".xml" appended when it
/// contains ".xml" nowhere.
std::string sceneFileName(const std::string& chosen);

/// Appends "parameters" (the eleven settings, then "camera" and "rock") to `parent`.
void writeParametersSection(xmlNodePtr parent);
/// Applies a "parameters" element: its attributes over the current settings,
/// then its "camera" and "rock" children. Always succeeds.
bool readParametersSection(xmlNodePtr element);

/// Appends "camera" with the viewer camera's position and orientation (x, y, z, w).
void writeCameraSection(xmlNodePtr parent);
/// Moves the viewer's camera; a missing attribute reads as zeros. Does
/// nothing when there is no viewer.
void readCameraSection(xmlNodePtr element);

/// Appends "rock" with the rock's x, y, modes, speed, size and crushing values.
void writeRockSection(xmlNodePtr parent);
/// Applies a "rock" element over the current rock values, then places the
/// rock at its x, y on the ground.
void readRockSection(xmlNodePtr element);

/// Appends "velmora" holding the ground, wind, grass and forest sections.
void writeModuleSections(xmlNodePtr parent);
/// Reads the four sections of the first "velmora" child of `root`, each
/// even after another failed. True when all four were found.
bool readModuleSections(xmlNodePtr root);
