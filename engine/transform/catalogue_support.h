// Shared by the catalogue's family files: type sets, settings records with their amount block
// first, and control descriptions.
#pragma once

#include "core/error.h"
#include "core/image.h"
#include "transform/operation.h"

#include <memory>
#include <string>
#include <vector>

namespace mv::catalogue {

constexpr unsigned bit(int type) { return 1u << type; }
constexpr unsigned kGrayColor16 = bit(IMAGE_GRAY) | bit(IMAGE_COLOR) | bit(IMAGE_GRAY16) | bit(IMAGE_COLOR48);
constexpr unsigned kColorOnly = bit(IMAGE_COLOR) | bit(IMAGE_COLOR48);
constexpr unsigned kAllPictures = kGrayColor16 | bit(IMAGE_BINARY);

// Settings records whose first member is their amount block and whose region function
// reads them as they are.
template <class S>
class RecordSettings final : public OperationSettings {
public:
    RecordSettings(RegionFunction fn) : fn_(fn) {}
    RegionFunction region() const override { return fn_; }
    void* record() override { return &s; }
    AmountBlock* amount() override { return &s.amount; }
    S s;

private:
    RegionFunction fn_;
};

inline OperationParam list_param(std::string label, std::vector<std::string> values, int initial)
{
    OperationParam p;
    p.key = operation_key(label);
    p.label = std::move(label);
    p.kind = OperationParam::kList;
    p.values = std::move(values);
    p.default_value = initial;
    p.maximum = int(p.values.size()) - 1;
    return p;
}

inline OperationParam integer_param(std::string label, int minimum, int maximum, int initial)
{
    OperationParam p;
    p.key = operation_key(label);
    p.label = std::move(label);
    p.kind = OperationParam::kInteger;
    p.minimum = minimum;
    p.maximum = maximum;
    p.default_value = initial;
    return p;
}

// A percent control, 0..1024 on the amount scale.
inline OperationParam percent_param(std::string label, int initial)
{
    OperationParam p;
    p.key = operation_key(label);
    p.label = std::move(label);
    p.kind = OperationParam::kPercent;
    p.minimum = 0;
    p.maximum = 1024;
    p.default_value = initial;
    return p;
}

// A settings file control ("curve=FILE.crv").
inline OperationParam file_param(std::string key, std::string label)
{
    OperationParam p;
    p.key = std::move(key);
    p.label = std::move(label);
    p.kind = OperationParam::kFile;
    return p;
}

// An inline settings text ("colors=...") with its default.
inline OperationParam text_param(std::string key, std::string label, std::string initial = {})
{
    OperationParam p;
    p.key = std::move(key);
    p.label = std::move(label);
    p.kind = OperationParam::kText;
    p.default_text = std::move(initial);
    return p;
}

// The families, each in its own file.
void register_tone_operations();
void register_filter_operations();
void register_reduce_operations();

} // namespace mv::catalogue
