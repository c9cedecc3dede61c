#include "data/CancellableRun.h"

namespace data {

void CancellableRun::run(const QString &connectionString, const std::function<void(Connection &)> &work)
{
    const std::unique_ptr<Connection> db = Connection::open(connectionString, Access::ReadOnly);
    {
        std::lock_guard<std::mutex> hold(lock_);
        db_ = db.get();
        if (cancelled_)
            db_->interrupt();
    }
    struct Release {
        CancellableRun &run;
        ~Release()
        {
            std::lock_guard<std::mutex> hold(run.lock_);
            run.db_ = nullptr;
        }
    } release{*this};
    work(*db);
}

void CancellableRun::cancel()
{
    std::lock_guard<std::mutex> hold(lock_);
    cancelled_ = true;
    if (db_)
        db_->interrupt();
}

} // namespace data
