// The failure report shared by every implementation of the effects.
#include "script/effects.h"

#include "script/host.h"

Status Effects::Logged(const char* operation, const char* subject,
                       Status status) {
  if (status != kOk && log_) log_->LogFailure(operation, subject, status);
  return status;
}
