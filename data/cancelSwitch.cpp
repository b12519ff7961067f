#include "data/cancelSwitch.h"

#include "data/statementCancel.h"

void CancelSwitch::Request() {
    std::lock_guard lock(mutex_);
    // A second Request has nothing to add, and must not wait on a cancel under way.
    if (requested_.exchange(true)) {
        return;
    }
    if (current_) {
        current_->Request();
    }
}

void CancelSwitch::Attach(StatementCancel &cancel) {
    std::lock_guard lock(mutex_);
    current_ = &cancel;
    // A Request made before the statement's cancel existed stops it before its first call.
    if (requested_.load()) {
        cancel.Request();
    }
}

void CancelSwitch::Detach() {
    std::lock_guard lock(mutex_);
    current_ = nullptr;
}
