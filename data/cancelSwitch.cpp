#include "data/cancelSwitch.h"

#include "data/statementCancel.h"

// The flag is set before the mutex is taken and read again under it in Attach, so a Request
// that races an Attach either finds the statement's cancel attached or is seen by Attach.

void CancelSwitch::Request() {
    requested_.store(true);
    std::lock_guard lock(mutex_);
    if (current_ != nullptr) {
        current_->Request();
    }
}

void CancelSwitch::Attach(StatementCancel &cancel) {
    std::lock_guard lock(mutex_);
    current_ = &cancel;
    if (requested_.load()) {
        cancel.Request();
    }
}

void CancelSwitch::Detach() {
    std::lock_guard lock(mutex_);
    current_ = nullptr;
}
