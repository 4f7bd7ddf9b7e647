#pragma once
/// Timed lives of wind primitives: episodes (birth, travel, death) on the
/// simulation date, and the timeline that activates and retires them.
#include "wind/debug.h"
#include "wind/geometry.h"
#include "wind/horloge.h"

#include <iostream>
#include <iterator>
#include <list>
#include <memory>
#include <stdexcept>

/// One episode of a primitive's life, over [start, end] on the date.
template <class T>
class slice_of_life {
public:
    /// Throws std::invalid_argument when end < start; start = end is allowed.
    slice_of_life(T* owner, double start, double end) : owner(owner), start(start), end(end)
    {
        if (end < start) throw std::invalid_argument("slice_of_life:slice_of_life: start>end");
    }
    virtual ~slice_of_life() = default;
    slice_of_life(const slice_of_life&) = delete;
    slice_of_life& operator=(const slice_of_life&) = delete;

    /// Applies the episode at the current date.
    virtual void act() = 0;
    /// Called once when the episode becomes active.
    virtual void on_begin() {}
    /// Called once when it stops being active.
    virtual void on_end() {}
    /// Prints the episode's span, indented.
    virtual void print(std::ostream& os) const
    {
        print_scope scope;
        indent(os) << "date=" << start << " to " << "date=" << end << "\n";
    }

    T* owner;  ///< the primitive acted on; not owned
    const double start;
    const double end;
};

/// Fades the owner in: intensity rises from 0 to 1; the owner is born on begin.
template <class T>
class birth : public slice_of_life<T> {
public:
    using slice_of_life<T>::slice_of_life;
    void act() override
    {
        this->owner->intensity =
            static_cast<float>((date::horloge - this->start) / (this->end - this->start));
    }
    void on_begin() override { this->owner->born = true; }
};

/// Fades the owner out: intensity falls from 1 to 0; the owner is dead on end.
template <class T>
class death : public slice_of_life<T> {
public:
    using slice_of_life<T>::slice_of_life;
    void act() override
    {
        this->owner->intensity =
            static_cast<float>(1.0 - (date::horloge - this->start) / (this->end - this->start));
    }
    void on_end() override { this->owner->dead = true; }
};

/// Moves the owner's figure along a path at a constant speed.
template <class T>
class follow_the_path : public slice_of_life<T> {
public:
    /// Takes ownership of `the_path`; `speed` is distance per date unit, > 0.
    follow_the_path(path* the_path, T* owner, double start, double end, float speed)
        : slice_of_life<T>(owner, start, end), the_path(the_path), speed(speed)
    {
        WIND_CHECK(speed>0);
    }
    void act() override
    {
        const float d = static_cast<float>((date::horloge - this->start) * speed);
        const point2d p = the_path->position_at(d);
        const float angle = the_path->angle_at(d);
        WIND_CHECK((angle>=0)&&(angle<=2*math_perso::PI));
        this->owner->shape->set_pose({p, angle});
    }
    void print(std::ostream& os) const override
    {
        slice_of_life<T>::print(os);
        the_path->print(os);
    }

private:
    std::unique_ptr<path> the_path;
    float speed;
};

/// The timeline of one primitive: every episode ordered by start, and those
/// now active ordered by end.
template <class T>
class life {
public:
    /// Takes ownership of both; the death must start after the birth ends.
    life(birth<T>* b, death<T>* d)
    {
        std::unique_ptr<death<T>> owned_death(d);
        std::cerr << "construction d'une vie: de " << "date=" << b->start << " a " << "date=" << d->end
                  << "\n";
        WIND_CHECK(d->start>b->end);
        next_slice = slices.begin();
        add_slice_of_life(b);
        add_slice_of_life(owned_death.release());
    }
    life(const life&) = delete;
    life& operator=(const life&) = delete;

    /// Takes ownership of `s`, which must not start before the current date.
    /// Among equal starts the newest is activated first.
    void add_slice_of_life(slice_of_life<T>* s)
    {
        std::unique_ptr<slice_of_life<T>> owned(s);
        if (s->start < date::horloge)
            throw std::invalid_argument("life:add_slice_of_life: date conflict.");
        auto at = next_slice;
        while (at != slices.end() && (*at)->start < s->start) ++at;
        const auto inserted = slices.insert(at, std::move(owned));
        if (at == next_slice) next_slice = inserted;
    }

    /// Begins `s` now and files it among the active episodes by end.
    void add_active_event(slice_of_life<T>* s)
    {
        if (s->start > date::horloge)
            throw std::invalid_argument("life:add_active_event: date conflict.");
        s->on_begin();
        auto at = active.begin();
        while (at != active.end() && (*at)->end < s->end) ++at;
        active.insert(at, s);
    }

    /// Begins the episodes whose start has come and ends those whose end has.
    void up_to_date()
    {
        if (next_slice != slices.begin() && (*std::prev(next_slice))->start > date::horloge)
            throw std::invalid_argument("life:up_to_date: date conflict.");
        for (; next_slice != slices.end() && (*next_slice)->start <= date::horloge; ++next_slice)
            add_active_event(next_slice->get());
        while (!active.empty() && active.front()->end <= date::horloge) {
            active.front()->on_end();
            active.pop_front();
        }
    }

    /// Applies every active episode, in order of end.
    void act_active()
    {
        for (slice_of_life<T>* s : active) s->act();
    }

    /// Prints every episode, then the active ones, indented.
    void print(std::ostream& os) const
    {
        print_scope scope;
        indent(os) << "Chronologie:\n";
        for (const auto& s : slices) s->print(os);
        indent(os) << "active life:\n";
        for (const slice_of_life<T>* s : active) s->print(os);
    }

    /// Every episode, in order of start.
    const std::list<std::unique_ptr<slice_of_life<T>>>& all_slices() const { return slices; }
    /// The active episodes, in order of end.
    const std::list<slice_of_life<T>*>& active_slices() const { return active; }

private:
    std::list<std::unique_ptr<slice_of_life<T>>> slices;
    typename std::list<std::unique_ptr<slice_of_life<T>>>::iterator next_slice;
    std::list<slice_of_life<T>*> active;
};
