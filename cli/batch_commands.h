// The batch tool's sub-commands. Each returns the process exit status: 0 success, 1 an
// operation failed (message on standard error), 2 a usage error.
#pragma once

#include <string>
#include <vector>

namespace mv::batch {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int run(const std::vector<std::string>& args);

// Prints "morvane-batch: MESSAGE (error N)" and returns kExitFailed.
int fail(int code);
// Prints the usage text with a reason and returns kExitUsage.
int usage_error(const std::string& reason);

int command_list(const std::vector<std::string>& args);
int command_apply(const std::vector<std::string>& args);
int command_chain(const std::vector<std::string>& args);
int command_info(const std::vector<std::string>& args);
int command_convert(const std::vector<std::string>& args);
int command_count_colors(const std::vector<std::string>& args);
int command_slideshow(const std::vector<std::string>& args);
int command_batch(const std::vector<std::string>& args);

} // namespace mv::batch
