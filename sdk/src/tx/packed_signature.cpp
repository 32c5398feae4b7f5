#include "sdk/src/tx/packed_signature.h"

namespace tarvo {

std::string signature_to_json(const JubjubSignature&) { fatal("signature encoding is not implemented yet"); }

}  // namespace tarvo
