// How the code that drives update.exe's windows gives up; see error.h.
#include "error.h"

namespace drive {

void fail(const std::string& why) {
  throw DriverError(why);
}

}  // namespace drive
