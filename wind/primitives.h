#pragma once
/// Wind primitives: shaped, timed sources of wind. The program launches gusts
/// (rectangles travelling along their long axis) and blasts (discs pushing
/// outward with a flapping turbulence).
#include "wind/geometry.h"
#include "wind/life.h"
#include "wind/wind.h"

#include <memory>
#include <ostream>

/// A random-generator seed from a coordinate expression, truncated toward
/// zero; values beyond the int range (and NaN) are pinned to it rather than
/// overflowing.
unsigned int truncated_seed(double value);

/// Something with a figure and a life span on the date.
class primitive {
public:
    /// Takes ownership of `shape`.
    primitive(figure2d* shape, double date_of_birth, double date_of_death);
    virtual ~primitive() = default;
    primitive(const primitive&) = delete;
    primitive& operator=(const primitive&) = delete;

    /// Draws the primitive (needs a GL context).
    virtual void draw() const = 0;
    /// Advances the life to the current date; true while not dead.
    virtual bool update() = 0;
    /// The figure's fall-off at `p`.
    virtual float weight(point2d p) const { return shape->weight(p); }
    /// Prints the primitive, indented.
    virtual void print(std::ostream& os) const;

    std::unique_ptr<figure2d> shape;  ///< figure and pose; owned
    bool dead = false;                ///< set when the death ends
    bool born = false;                ///< set when the birth begins
    double date_of_birth;
    double date_of_death;
};

/// A primitive that blows: its influence at a point, scaled by its intensity.
class wind_primitive : public primitive {
public:
    /// Takes ownership of `shape`; `power` is the nominal power.
    wind_primitive(figure2d* shape, double date_of_birth, double date_of_death, float power);
    /// The wind this primitive blows at `p` at the current date.
    virtual influence get_influence(point2d p) const = 0;
    void print(std::ostream& os) const override;

    float intensity = 0.0f;  ///< life factor in [0, 1], set by birth and death
    float power;             ///< nominal power
};

/// A wind primitive with a timeline of episodes that act on it: what gusts,
/// blasts and the breeze share. `T` is the primitive itself and names its
/// kind for printing in `T::kind`.
template <class T>
class living_wind_primitive : public wind_primitive {
public:
    /// Takes ownership of the three; alive from b's start to d's end. `self`
    /// is the primitive under construction, to which both episodes belong.
    living_wind_primitive(T* self, figure2d* figure, birth<T>* b, death<T>* d, float power)
        : wind_primitive(figure, b->start, d->end, power), life(std::make_unique<::life<T>>(b, d))
    {
        b->owner = self;
        d->owner = self;
    }
    /// Begins and ends the episodes whose dates have come, then applies the active ones.
    bool update() override
    {
        life->up_to_date();
        life->act_active();
        return !dead;
    }
    void print(std::ostream& os) const override
    {
        print_scope scope;
        wind_primitive::print(os);
        indent(os) << T::kind << ":\n";
        indent(os) << "Life of a " << T::kind << "\n";
        life->print(os);
    }

    std::unique_ptr<::life<T>> life;  ///< owned timeline
};

/// A rectangle of wind travelling along its long axis, front at +half_length.
class gust_of_wind : public living_wind_primitive<gust_of_wind> {
public:
    static constexpr const char* kind = "gust_of_wind";
    /// Takes ownership of the three; alive from b's start to d's end.
    gust_of_wind(rectangle* figure, birth<gust_of_wind>* b, death<gust_of_wind>* d)
        : living_wind_primitive(this, figure, b, d, 100.0f), rect(figure)
    {
    }
    void draw() const override;
    influence get_influence(point2d p) const override;

private:
    const rectangle* rect;  // the shape, typed
};

/// A disc of air pushing outward, each point flapping at its own rate.
class blast_of_air : public living_wind_primitive<blast_of_air> {
public:
    static constexpr const char* kind = "blast_of_air";
    /// Takes ownership of the three; alive from b's start to d's end.
    blast_of_air(circle* figure, birth<blast_of_air>* b, death<blast_of_air>* d)
        : living_wind_primitive(this, figure, b, d, 200.0f), disc(figure)
    {
    }
    void draw() const override;
    influence get_influence(point2d p) const override;

private:
    const circle* disc;  // the shape, typed
};

/// A disc of swinging wind that stays at the origin. Not launched by the program.
class breeze : public living_wind_primitive<breeze> {
public:
    static constexpr const char* kind = "breeze";
    /// Takes ownership of the three; alive from b's start to d's end.
    breeze(circle* figure, birth<breeze>* b, death<breeze>* d) : living_wind_primitive(this, figure, b, d, 50.0f) {}
    void draw() const override;
    /// Advances the life, then puts the figure back at the origin.
    bool update() override;
    /// Within the radius of the first breeze ever evaluated: `power` along a
    /// random swinging direction drawn from the current sequence.
    influence get_influence(point2d p) const override;
};

/// A primitive that cancels nothing yet: no influence. Not launched by the program.
class wind_anihilator : public wind_primitive {
public:
    using wind_primitive::wind_primitive;
    bool update() override { return !dead; }
    influence get_influence(point2d) const override { return {0.0f, 0.0f, 0.0f}; }
};

/// A primitive that gives light rather than wind. Not launched by the program.
class light_primitive : public primitive {
public:
    using primitive::primitive;
    /// The light at `p`.
    virtual float get_light(point2d p) const = 0;
};
