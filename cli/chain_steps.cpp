#include "chain_steps.h"

#include <fstream>
#include <sstream>
#include <utility>

namespace mv::batch {

bool chain_parse(const std::vector<std::string>& tokens, size_t first, std::vector<ChainStep>& steps,
                 std::string& message, size_t& at)
{
    steps.clear();
    for (size_t i = first; i < tokens.size(); ++i) {
        const std::string& a = tokens[i];
        at = i;
        if (a == "+") {
            if (steps.empty() || i + 1 >= tokens.size() || tokens[i + 1] == "+") {
                message = "'+' must stand between two operations";
                return false;
            }
            continue;
        }
        if (steps.empty() || tokens[i - 1] == "+") {
            const Operation* op = operation_find(a);
            if (!op) {
                message = "unknown operation '" + a + "' (see morvane-batch list)";
                return false;
            }
            steps.push_back({op, operation_defaults(*op)});
            continue;
        }
        const size_t eq = a.find('=');
        if (eq == std::string::npos) {
            message = "expected key=value or '+' after " + steps.back().op->name + ", got '" + a + "'";
            return false;
        }
        if (!operation_set(*steps.back().op, steps.back().values, a.substr(0, eq), a.substr(eq + 1), message))
            return false;
    }
    at = tokens.size();
    if (steps.empty()) {
        message = "no operation given";
        return false;
    }
    return true;
}

bool chain_read_recipe(const std::string& path, std::vector<ChainStep>& steps, std::string& message)
{
    std::ifstream in(path);
    if (!in) {
        message = path + ": cannot be read";
        return false;
    }
    // Tokens with the line each came from, so a fault is reported where it was written.
    std::vector<std::string> tokens;
    std::vector<int> lines;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const size_t hash = line.find('#');
        std::istringstream words(line.substr(0, hash));
        for (std::string word; words >> word;) {
            tokens.push_back(word);
            lines.push_back(number);
        }
    }
    size_t at = 0;
    if (chain_parse(tokens, 0, steps, message, at))
        return true;
    message = at < lines.size() ? path + ":" + std::to_string(lines[at]) + ": " + message
                                : path + ": " + message;
    return false;
}

int chain_run(const std::vector<ChainStep>& steps, Image& picture)
{
    for (const ChainStep& step : steps) {
        Image output;
        const int amount = step.op->signed_amount ? 512 : 1024;
        if (const int err = operation_apply(*step.op, step.values, picture, output, amount))
            return err;
        picture = std::move(output);
    }
    return 0;
}

} // namespace mv::batch
