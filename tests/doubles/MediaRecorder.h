// A media command interface for tests: records every command and answers status from a table.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace media_double {

// Every command text received, in order.
std::vector<std::string>& Commands();

// The reply to "status <alias> mode"; an alias missing from the table gets the empty reply.
std::map<std::string, std::string>& StatusReplies();

void Reset();

}  // namespace media_double
