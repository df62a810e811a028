// Reads a request body into an AutCodeUser. Bodies laid out exactly as the XML archive writes
// them are read by a direct scan (the archive's reader costs more than the statement of a
// page); anything else goes to Boost.PropertyTree's XML reader, which needs every member by
// name. The archive's own reader is not used on bodies from the network: an element of
// another, longer name where a member is expected makes it read past its buffers.
#pragma once

#include <string>

#include "db/request_record.h"

namespace webservice {

bool ReadRequest(const std::string& body, AutCodeUser& record);

// The PropertyTree reading alone.
bool ParseRequest(const std::string& body, AutCodeUser& record);

// The direct scan alone; false when the body is not in the archive's exact layout.
bool ScanRequest(const std::string& body, AutCodeUser& record);

}  // namespace webservice
