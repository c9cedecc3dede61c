#pragma once
#include "data/DbError.h"
#include <functional>

// The text of the database error the action throws; empty when it throws none.
inline QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const data::DbError &e) {
        return e.text();
    }
    return {};
}
