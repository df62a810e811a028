// Fresh universally unique identifiers in their text form.
#pragma once

#include <string>

namespace platform {

// A new random UUID, lower-case, "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx".
std::string NewUuidText();

}  // namespace platform
