// Where preferences and state are kept between sessions: named text values in two groups
// ("Preferences" and "State"). The editor backs it with the desktop's settings store; tests
// and the batch tool use the in-memory store below.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace mv {

class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;
    // The text of a value; nothing when it is missing or is not text.
    virtual std::optional<std::string> get(std::string_view group, std::string_view name) const = 0;
    // Stores a text value; a store that cannot write ignores it.
    virtual void set(std::string_view group, std::string_view name, std::string_view value) = 0;
};

class MemoryKeyValueStore final : public KeyValueStore {
public:
    std::optional<std::string> get(std::string_view group, std::string_view name) const override
    {
        const auto it = values_.find({std::string(group), std::string(name)});
        if (it == values_.end())
            return std::nullopt;
        return it->second;
    }
    void set(std::string_view group, std::string_view name, std::string_view value) override
    {
        values_[{std::string(group), std::string(name)}] = std::string(value);
    }
    void erase(std::string_view group, std::string_view name)
    {
        values_.erase({std::string(group), std::string(name)});
    }
    size_t size() const { return values_.size(); }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

} // namespace mv
