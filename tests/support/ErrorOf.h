#pragma once
#include "data/DbError.h"
#include <functional>
#include <optional>

// The code of the database error the action throws; empty when it throws none.
inline std::optional<data::DbCode> codeOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const data::DbError &e) {
        return e.code();
    }
    return std::nullopt;
}

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
