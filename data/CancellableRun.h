#pragma once
#include "data/Connection.h"
#include <atomic>
#include <functional>
#include <mutex>

namespace data {

// One piece of work on a read-only connection of its own, run on a worker thread, that the
// window's thread can cancel at any moment, also before the connection is open.
class CancellableRun {
public:
    // Opens the connection and hands it to work. Throws DbError from either, also when cancelled.
    void run(const QString &connectionString, const std::function<void(Connection &)> &work);
    // Safe from any thread: the work's running statement fails at once, and so does any later.
    void cancel();
    bool cancelled() const { return cancelled_; }

private:
    std::mutex lock_;
    Connection *db_ = nullptr; // while run() has it open
    std::atomic<bool> cancelled_{false};
};

} // namespace data
