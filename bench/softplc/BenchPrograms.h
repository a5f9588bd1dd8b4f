// The straight-line programs the embedded CPU is timed on, made with fixed seeds so that every
// run and the native twins made from them (tools/stl_twin) see the same code.
#pragma once

#include <string>

namespace bench {

// Chains of U/UN/O/ON/X/XN on E, M and A bits ended by =, S or R on M 64.0-127.7.
std::string BitProgram(int count);
// Loads, transfers, arithmetic, word logic and shifts on MW 0-198, results to MW 200-398.
std::string WordProgram(int count);

}  // namespace bench
