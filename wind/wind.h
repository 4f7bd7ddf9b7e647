#pragma once
/// The wind of the scene: a breeze everywhere plus the gusts and blasts the
/// user launches across the wind area. One process-wide wind, reached only
/// through these functions; all of them run on the GUI thread.

/// The wind at a point: its power and a 2D direction (x, y on the ground).
struct influence {
    float power;
    float dx;
    float dy;
};

/// Resets the wind: date back to 0, every gust and blast deleted. `area` is
/// x_min, y_min, x_max, y_max of the rectangle gusts cross; `height` is the z
/// at which their outlines are drawn. The breeze clock keeps running.
void windInit(const float area[4], const float& height);

/// Advances the wind by one frame of `dt` seconds (scaled by the speeds).
void windUpdate(const float& dt);

/// The wind query at ground point (x, y): the input influence (a power and a
/// direction) plus the breeze and every alive gust and blast. Writes the summed
/// power and the power-weighted mean direction, faded below power 30.
/// Allocates nothing; reseeds the process-wide random generator.
void windGetInfluence(const float& x, const float& y,
                      const float& in_power, const float& in_dx, const float& in_dy,
                      float& out_power, float& out_dx, float& out_dy);

/// The breeze alone at (x, y): `breeze_power` and a swinging direction whose
/// axis is fixed for the point. Reseeds the process-wide random generator.
influence windBreezeAt(const float& x, const float& y);

/// Launches a gust (a rectangle of these half extents, in metres) across the
/// wind area, starting one date unit from now.
void windAddGust(const float& half_length, const float& half_width);

/// Launches a blast (a disc of this radius, in metres) across the wind area,
/// starting one date unit from now.
void windAddBlast(const float& radius);

/// Draws the outline of every alive gust (blue) and blast (red). Needs a
/// current GL context.
void windDraw();

/// Power of the breeze at every point (default 50).
void windSetBreezePower(const float& value);
/// Power of the breeze at every point.
float windGetBreezePower();
/// Rate of the breeze's swing per second of frame time (default 1).
void windSetBreezeSpeed(const float& value);
/// Rate of the breeze's swing per second of frame time.
float windGetBreezeSpeed();
/// Peak power of a gust (default 200).
void windSetGustPower(const float& value);
/// Peak power of a gust.
float windGetGustPower();
/// Date units per second of frame time for every gust and blast (default 1).
/// A negative or non-finite value is refused with a warning: the date cannot
/// run backwards.
void windSetGustSpeed(const float& value);
/// Date units per second of frame time.
float windGetGustSpeed();
/// Base outward push in a blast's core (default 0.5).
void windSetBlastParam(const float& value);
/// Base outward push in a blast's core.
float windGetBlastParam();
/// Peak power of a blast (default 200).
void windSetBlastPower(const float& value);
/// Peak power of a blast.
float windGetBlastPower();

/// Not available: prints that it does not work yet and writes zeros.
void windGetLocalInfluence(const short& numberDtPrecedent, const float& x, const float& y,
                           float& out_power, float& out_dx, float& out_dy);
