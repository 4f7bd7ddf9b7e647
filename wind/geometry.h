#pragma once
/// The wind's 2D geometry in the ground plane: points and poses, the figures
/// that give wind primitives their extent, the wind area and the paths along
/// which figures travel. Angles are radians in [0, 2π] from +x towards +y.
#include <ostream>

namespace math_perso {
/// π in single precision, the precision of every angle of the wind.
constexpr float PI = 3.14159265358979f;
}

/// A point of the ground plane.
struct point2d {
    float x;
    float y;
};

/// A displacement in the ground plane.
struct vector2d {
    float x;
    float y;
};

/// Where a figure stands and which way it faces.
struct pose2d {
    point2d position;
    float angle;
};

/// `v` rotated by `alpha`: (cos α·v.x + sin α·v.y, cos α·v.y − sin α·v.x).
vector2d rotate(const vector2d& v, float alpha);

/// Angle of the unit vector `u`, in [0, 2π]: acos(u.x), mirrored when u.y < 0.
float angle_of(const vector2d& u);

class rectangle;

/// A figure with a pose; the extent of a wind primitive.
class figure2d {
public:
    /// A figure standing at `pose`.
    explicit figure2d(const pose2d& pose);
    virtual ~figure2d() = default;
    figure2d(const figure2d&) = delete;
    figure2d& operator=(const figure2d&) = delete;

    /// Fall-off factor at `p`: 1 at the centre down to 0 at the border, 0 outside.
    virtual float weight(point2d p) const = 0;
    /// Not available for any figure.
    virtual bool intersection_with_rectangle(const rectangle& other) const = 0;
    /// Draws the outline with the current colour (needs a GL context).
    virtual void draw() const = 0;
    /// Prints the figure, indented.
    virtual void print(std::ostream& os) const = 0;
    /// Not available: reports an error that ends the program.
    virtual void display() const;

    /// Moves the figure; keeps the cosine and sine of the angle for the queries.
    void set_pose(const pose2d& pose);
    /// The figure's pose.
    const pose2d& get_pose() const { return pose_; }
    /// cos of the pose's angle.
    float cos_angle() const { return cos_; }
    /// sin of the pose's angle.
    float sin_angle() const { return sin_; }

private:
    pose2d pose_;
    float cos_;
    float sin_;
};

/// A disc; a blast's extent.
class circle : public figure2d {
public:
    /// Throws std::invalid_argument when `radius` is negative.
    circle(point2d center, float radius);
    float weight(point2d p) const override;
    /// Stops the program: no figure implements it.
    bool intersection_with_rectangle(const rectangle& other) const override;
    void draw() const override;
    void print(std::ostream& os) const override;
    /// The radius, in metres.
    float radius() const { return radius_; }

private:
    float radius_;
};

/// A rectangle along its pose angle; a gust's extent.
class rectangle : public figure2d {
public:
    /// Half extents along and across the angle; throws std::invalid_argument
    /// when either is negative.
    rectangle(const pose2d& pose, float half_length, float half_width);
    float weight(point2d p) const override;
    /// Not available: reports an error that ends the program.
    bool intersection_with_rectangle(const rectangle& other) const override;
    void draw() const override;
    void print(std::ostream& os) const override;
    /// Not available: reports an error that ends the program.
    void display() const override;
    /// Half extent along the angle.
    float half_length() const { return half_length_; }
    /// Half extent across the angle.
    float half_width() const { return half_width_; }

private:
    float half_length_;
    float half_width_;
};

/// A figure with no extent and no drawing.
class trace : public figure2d {
public:
    /// A trace standing at `pose`.
    explicit trace(const pose2d& pose) : figure2d(pose) {}
    /// Always 0: a trace covers nothing.
    float weight(point2d) const override { return 0.0f; }
    /// Stops the program: no figure implements it.
    bool intersection_with_rectangle(const rectangle& other) const override;
    void draw() const override {}
    void print(std::ostream& os) const override;
};

/// Axis-aligned box: the wind area.
struct bounding_box2d {
    float x_max;
    float x_min;
    float y_max;
    float y_min;

    /// A point on side 0 (x_min), 1 (x_max), 2 (y_min) or 3 (y_max), at the
    /// fraction r in [0, 1] along it. Any other side stops the program.
    point2d random_point_on_side(int side, float r) const;
};

/// A parametric path; d is the distance travelled from its start.
class path {
public:
    path() = default;
    virtual ~path() = default;
    path(const path&) = delete;
    path& operator=(const path&) = delete;

    /// Unit direction of travel at d.
    virtual vector2d direction_at(float d) const = 0;
    /// Angle of the direction at d, in [0, 2π].
    virtual float angle_at(float d) const = 0;
    /// Unit normal at d (the direction turned clockwise).
    virtual vector2d normal_at(float d) const = 0;
    /// Position at d.
    virtual point2d position_at(float d) const = 0;
    /// Prints the path, indented.
    virtual void print(std::ostream& os) const = 0;
};

/// A straight line from an origin at a fixed angle.
class straight_path : public path {
public:
    /// Stops the program when `angle` lies outside [0, 2π].
    straight_path(point2d origin, float angle);
    vector2d direction_at(float) const override { return direction; }
    float angle_at(float) const override { return angle; }
    vector2d normal_at(float) const override { return {direction.y, -direction.x}; }
    point2d position_at(float d) const override
    {
        return {origin.x + d * direction.x, origin.y + d * direction.y};
    }
    void print(std::ostream& os) const override;

private:
    point2d origin;
    vector2d direction;
    float angle;
};

/// A fixed frame: an origin, a unit direction and its normal.
class static_path {
public:
    /// The frame at `origin` facing `angle` (radians).
    static_path(point2d origin, float angle);
    /// The origin.
    point2d get_origin() const { return origin; }
    /// The unit direction.
    vector2d get_direction() const { return direction; }
    /// The direction turned clockwise.
    vector2d get_normal() const { return normal; }
    /// The direction's angle, in [0, 2π].
    float get_angle() const;

private:
    point2d origin;
    vector2d direction;
    vector2d normal;
};
