// The sealing tool's command line: seal, open, keytext, manifest, encrypt, makekey.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace seal {

// Runs one command (args without the program name); 0 on success, 1 when the work failed,
// 2 for a usage error. Results go to `out`, reasons to `err`.
int RunSealTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace seal
