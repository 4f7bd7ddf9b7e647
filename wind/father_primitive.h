#pragma once
/// Owner of primitives, filed as not born, alive or dead on the date.
#include "wind/debug.h"
#include "wind/horloge.h"

#include <list>
#include <memory>

/// Owns primitives of type T and files each by where it is in its life.
template <class T>
class father_primitive {
public:
    father_primitive() = default;
    virtual ~father_primitive() = default;
    father_primitive(const father_primitive&) = delete;
    father_primitive& operator=(const father_primitive&) = delete;

    /// Takes ownership of `p`, brings it up to date and files it.
    void add_primitive(T* p)
    {
        std::unique_ptr<T> owned(p);
        p->update();
        if (p->dead)
            file_dead(std::move(owned));
        else if (p->born)
            file_alive(std::move(owned));
        else
            file_not_born(std::move(owned));
    }

    /// The per-step pass: brings primitives up to date and refiles them.
    void update_primitives()
    {
        for (auto it = not_born_primitives.begin(); it != not_born_primitives.end();) {
            T* p = it->get();
            p->update();
            if (p->dead) {
                file_dead(std::move(*it));
                it = not_born_primitives.erase(it);
            } else if (p->born) {
                file_alive(std::move(*it));
                it = not_born_primitives.erase(it);
            } else {
                ++it;
            }
        }
        for (auto it = alive_primitives.begin(); it != alive_primitives.end();) {
            T* p = it->get();
            if (date::horloge <= p->date_of_birth) return;
            p->update();
            if (p->dead) {
                file_dead(std::move(*it));
                it = alive_primitives.erase(it);
            } else {
                ++it;
            }
        }
    }

    /// Deletes every primitive of the three lists.
    void delete_all_primitives()
    {
        not_born_primitives.clear();
        alive_primitives.clear();
        dead_primitives.clear();
    }

    /// Created, birth not begun; by date of birth.
    const std::list<std::unique_ptr<T>>& not_born() const { return not_born_primitives; }
    /// Born and not dead; by date of death.
    const std::list<std::unique_ptr<T>>& alive() const { return alive_primitives; }
    /// Dead, the most recent first.
    const std::list<std::unique_ptr<T>>& dead() const { return dead_primitives; }

private:
    void file_not_born(std::unique_ptr<T> p)
    {
        WIND_CHECK(p->date_of_birth >= date::horloge);
        auto at = not_born_primitives.begin();
        while (at != not_born_primitives.end() && (*at)->date_of_birth < p->date_of_birth) ++at;
        not_born_primitives.insert(at, std::move(p));
    }

    void file_alive(std::unique_ptr<T> p)
    {
        WIND_CHECK((p->date_of_birth<=date::horloge)&&(p->date_of_death>=date::horloge));
        auto at = alive_primitives.begin();
        while (at != alive_primitives.end() && (*at)->date_of_death < p->date_of_death) ++at;
        alive_primitives.insert(at, std::move(p));
    }

    void file_dead(std::unique_ptr<T> p)
    {
        WIND_CHECK(p->date_of_death<=date::horloge);
        dead_primitives.push_front(std::move(p));
    }

    std::list<std::unique_ptr<T>> not_born_primitives;
    std::list<std::unique_ptr<T>> alive_primitives;
    std::list<std::unique_ptr<T>> dead_primitives;
};
