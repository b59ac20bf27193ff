// Test helper: a full copy of everything a search must leave as it found it
// (every cell byte, counters, rectangle, hash words, the stones' history), for checking
// that an operation takes back every move it makes.
#pragma once

#include <cstring>
#include <memory>

#include "board/engine_object.h"

namespace vantrel::testing {

class PositionSnapshot {
public:
    explicit PositionSnapshot(const Engine& e) : copy_(std::make_unique<Copy>()) {
        std::memcpy(copy_->cells, e.cells, sizeof e.cells);
        std::memcpy(copy_->status_count, e.status_count, sizeof e.status_count);
        std::memcpy(copy_->history, e.history, sizeof e.history);
        copy_->area = e.area;
        copy_->hash_index = e.hash.hash_index;
        copy_->hash_check1 = e.hash.hash_check1;
        copy_->hash_check2 = e.hash.hash_check2;
        copy_->move_count = e.move_count;
        copy_->side = e.side;
        copy_->other = e.other;
        copy_->ply = e.ply;
    }

    // Empty when e matches the snapshot, else the name of what differs.
    const char* difference(const Engine& e) const {
        const Copy& c = *copy_;
        if (std::memcmp(c.cells, e.cells, sizeof e.cells) != 0) return "cells";
        if (std::memcmp(c.status_count, e.status_count, sizeof e.status_count) != 0) return "status_count";
        // Entries from move_count on are scratch: a move made and taken back
        // leaves its trace there.
        if (std::memcmp(c.history, e.history, sizeof(Point) * static_cast<std::size_t>(c.move_count)) != 0)
            return "history";
        if (c.area.x_min != e.area.x_min || c.area.y_min != e.area.y_min || c.area.x_max != e.area.x_max ||
            c.area.y_max != e.area.y_max)
            return "area";
        if (c.hash_index != e.hash.hash_index || c.hash_check1 != e.hash.hash_check1 ||
            c.hash_check2 != e.hash.hash_check2)
            return "hash words";
        if (c.move_count != e.move_count) return "move_count";
        if (c.side != e.side || c.other != e.other) return "side to move";
        if (c.ply != e.ply) return "ply";
        return "";
    }

private:
    struct Copy {
        Cell cells[GRID_SIZE][GRID_SIZE];
        std::int32_t status_count[PLAYERS][STATUS_COUNT];
        Point history[HISTORY_SIZE];
        Area area;
        std::uint32_t hash_index;
        std::uint32_t hash_check1, hash_check2;
        std::int32_t move_count, side, other, ply;
    };
    std::unique_ptr<Copy> copy_;
};

}  // namespace vantrel::testing
