#include "crypto/base/fatal.h"

namespace tarvo {

void fatal(const std::string& text) { throw FatalError(text); }

}  // namespace tarvo
