// A debug-build check that a search component leaves the position as it found
// it: every move it makes must be taken back before it returns. The guard
// takes a snapshot of the cheap summary of the position (hash words, counters,
// side to move, rectangle) and asserts on destruction that nothing changed.
// node_count is left out: it counts the moves made and is meant to grow.
// In builds without assertions the guard is empty and costs nothing.
#pragma once

#include <cassert>
#include <cstring>

#include "board/engine_object.h"

namespace vantrel {

#ifndef NDEBUG

class PositionGuard {
public:
    explicit PositionGuard(const Engine& e) : e_(e), before_(snapshot(e)) {}
    ~PositionGuard() { assert(snapshot(e_) == before_ && "a search left the position changed"); }
    PositionGuard(const PositionGuard&) = delete;
    PositionGuard& operator=(const PositionGuard&) = delete;

private:
    struct Snapshot {
        std::uint32_t hash_index;
        std::uint32_t hash_check1, hash_check2;
        std::int32_t move_count, side, other, ply;
        std::int32_t status_count[PLAYERS][STATUS_COUNT];
        int x_min, y_min, x_max, y_max;
        bool operator==(const Snapshot&) const = default;
    };
    static Snapshot snapshot(const Engine& e) {
        Snapshot s{};
        s.hash_index = e.hash.hash_index;
        s.hash_check1 = e.hash.hash_check1;
        s.hash_check2 = e.hash.hash_check2;
        s.move_count = e.move_count;
        s.side = e.side;
        s.other = e.other;
        s.ply = e.ply;
        std::memcpy(s.status_count, e.status_count, sizeof s.status_count);
        s.x_min = e.area.x_min;
        s.y_min = e.area.y_min;
        s.x_max = e.area.x_max;
        s.y_max = e.area.y_max;
        return s;
    }

    const Engine& e_;
    Snapshot before_;
};

#else

class PositionGuard {
public:
    explicit PositionGuard(const Engine&) {}
};

#endif

}  // namespace vantrel
