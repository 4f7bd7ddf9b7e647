#include "wind/geometry.h"

#include "wind/debug.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

vector2d rotate(const vector2d& v, float alpha)
{
    const float c = std::cos(alpha), s = std::sin(alpha);
    return {c * v.x + s * v.y, c * v.y - s * v.x};
}

float angle_of(const vector2d& u)
{
    // Rounding can push u.x just past ±1 (acos gives NaN) and 2π − acos just
    // past 2π; either would fail the path's angle check.
    float angle = std::acos(std::clamp(u.x, -1.0f, 1.0f));
    if (u.y < 0) angle = 2 * math_perso::PI - angle;
    return std::clamp(angle, 0.0f, 2 * math_perso::PI);
}

// [SECTION] figure2d

figure2d::figure2d(const pose2d& pose) { set_pose(pose); }

void figure2d::set_pose(const pose2d& pose)
{
    pose_ = pose;
    cos_ = std::cos(pose.angle);
    sin_ = std::sin(pose.angle);
}

void figure2d::display() const
{
    debug_error("No display implemented in the class figure2d.\n", 1);
}

// [SECTION] circle

circle::circle(point2d center, float radius) : figure2d({center, 0.0f}), radius_(radius)
{
    if (radius < 0) throw std::invalid_argument("circle:circle: radius<0");
}

float circle::weight(point2d p) const
{
    const float dx = p.x - get_pose().position.x, dy = p.y - get_pose().position.y;
    return std::max(0.0f, radius_ - std::sqrt(dx * dx + dy * dy)) / radius_;
}

bool circle::intersection_with_rectangle(const rectangle&) const
{
    WIND_CHECK(false);
}

void circle::print(std::ostream& os) const
{
    print_scope scope;
    indent(os) << "circle: center=" << get_pose().position.x << " " << get_pose().position.y
               << " radius=" << radius_ << "\n";
}

// [SECTION] rectangle

rectangle::rectangle(const pose2d& pose, float half_length, float half_width)
    : figure2d(pose), half_length_(half_length), half_width_(half_width)
{
    if (half_length < 0 || half_width < 0)
        throw std::invalid_argument("rectangle:rectangle: min>max");
}

float rectangle::weight(point2d p) const
{
    // Local coordinates: the point turned back by the angle, as the gust does.
    const float dx = p.x - get_pose().position.x, dy = p.y - get_pose().position.y;
    const float lx = cos_angle() * dx + sin_angle() * dy;
    const float ly = -sin_angle() * dx + cos_angle() * dy;
    return std::max(0.0f, half_length_ - std::fabs(lx)) / half_length_ *
           (std::max(0.0f, half_width_ - std::fabs(ly)) / half_width_);
}

bool rectangle::intersection_with_rectangle(const rectangle&) const
{
    debug_error("intersection_with_rectangle not implemented", 1);
    return false;
}

void rectangle::print(std::ostream& os) const
{
    print_scope scope;
    indent(os) << "rectangle: center=" << get_pose().position.x << " " << get_pose().position.y
               << " angle=" << get_pose().angle << " half_length=" << half_length_
               << " half_width=" << half_width_ << "\n";
}

void rectangle::display() const
{
    debug_error("No display implemented in the class rectangle.\n", 1);
}

// [SECTION] trace

bool trace::intersection_with_rectangle(const rectangle&) const
{
    WIND_CHECK(false);
}

void trace::print(std::ostream& os) const
{
    print_scope scope;
    indent(os) << "trace: position=" << get_pose().position.x << " " << get_pose().position.y << "\n";
}

// [SECTION] bounding_box2d

point2d bounding_box2d::random_point_on_side(int side, float r) const
{
    switch (side) {
    case 0: return {x_min, (1 - r) * y_max + r * y_min};
    case 1: return {x_max, (1 - r) * y_max + r * y_min};
    case 2: return {(1 - r) * x_max + r * x_min, y_min};
    case 3: return {(1 - r) * x_max + r * x_min, y_max};
    default: WIND_CHECK(false);
    }
}

// [SECTION] paths

straight_path::straight_path(point2d origin, float angle)
    : origin(origin), direction{std::cos(angle), std::sin(angle)}, angle(angle)
{
    WIND_CHECK(((angle>=0.0) && (angle<=2.0*math_perso::PI)));
}

void straight_path::print(std::ostream& os) const
{
    print_scope scope;
    indent(os) << "straight_path: origin=" << origin.x << " " << origin.y
               << " direction=" << direction.x << " " << direction.y << "\n";
}

static_path::static_path(point2d origin, float angle)
    : origin(origin), direction{std::cos(angle), std::sin(angle)},
      normal{std::sin(angle), -std::cos(angle)}
{
}

float static_path::get_angle() const { return angle_of(direction); }
