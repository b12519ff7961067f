#include "data/queryWatchdog.h"

QueryWatchdog::QueryWatchdog(SQLHSTMT statement, std::chrono::milliseconds limit)
    : thread_([this, statement, limit](std::stop_token stop) {
          std::unique_lock lock(mutex_);
          if (wake_.wait_for(lock, stop, limit, [] { return false; }) || stop.stop_requested()) {
              return;
          }
          fired_ = true;
          SQLCancel(statement);
      }) {}

QueryWatchdog::~QueryWatchdog() {
    thread_.request_stop();
    thread_.join();
}
