#pragma once
// Where an exchange channel's characters travel between programs: a named
// pipe per channel in the user's runtime folder. The writer never waits: a
// character that finds the pipe full is dropped.

#include <cstdint>
#include <string>

namespace quelp::varnokex {

// The pipe of `channel`: $XDG_RUNTIME_DIR/quelp-exchange/<channel>, else
// /tmp/quelp-exchange-<uid>/<channel>. Empty for a channel below 1.
std::string ChannelPath(std::int32_t channel);

// Makes the folder (owner only) and the pipe when missing; false when it
// cannot, or a non-pipe stands in its place.
bool MakeChannel(const std::string& path);

}  // namespace quelp::varnokex
