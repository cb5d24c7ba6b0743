#include "base/diagnosis.h"

#include <atomic>

namespace diagnosis {
namespace {

std::atomic<Writer*> installed{nullptr};

}  // namespace

void install(Writer* writer) noexcept {
  installed.store(writer);
}

void caught(const automation::Error& error, const char* handler) noexcept {
  if (Writer* writer = installed.load()) writer->write(handler ? handler : "", error);
}

}  // namespace diagnosis
