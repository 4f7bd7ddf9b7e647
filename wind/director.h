#pragma once
/// The wind director, which owns and sums every gust and blast, and the parts
/// of the wind module's state the rest of the library reads.
#include "wind/father_primitive.h"
#include "wind/primitives.h"

#include <ostream>

/// Owns every gust and blast; launches them across an area and sums them.
class god_of_gusts : public father_primitive<wind_primitive> {
public:
    /// Launches a gust `from` date units from now (> 0) across the box, at
    /// `speed` per date unit. A box whose crossing has no length launches
    /// nothing and warns. Throws std::invalid_argument on a negative extent.
    void add_gust(float from, float x_max, float x_min, float y_max, float y_min, float speed,
                  float half_length, float half_width);
    /// Launches a blast likewise.
    void add_blast(float from, float x_max, float x_min, float y_max, float y_min, float speed,
                   float radius);
    /// `accumulator` plus every alive primitive's influence at `point`, as a
    /// power sum and a power-weighted direction faded below power 30.
    influence accumulate_influences(point2d point, influence accumulator) const;
    /// Prints the three lists, indented.
    void print(std::ostream& os) const;
};

/// The random seed of a gust launched at `date` (a blast's at twice its date),
/// from every bit of the date: launches at different frames take different
/// crossings, also in the first date units after the date restarts at 0.
unsigned int date_seed(double date);

/// The director of the one wind.
god_of_gusts& windDirector();
/// The rectangle gusts and blasts cross.
const bounding_box2d& windArea();
/// The z at which outlines are drawn.
float windDrawingHeight();
/// The clock of the breeze's swing; never set back.
double windBreezeTime();
