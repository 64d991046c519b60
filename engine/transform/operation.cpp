#include "operation.h"

#include "core/error.h"
#include "core/util.h"
#include "transform/banded_apply.h"
#include "transform/operation_catalogue.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace mv {
namespace {

std::vector<Operation>& registry()
{
    static std::vector<Operation> ops;
    return ops;
}

bool parse_int(std::string_view text, int& value)
{
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && !text.empty();
}

} // namespace

void operation_register(Operation op)
{
    registry().push_back(std::move(op));
}

const std::vector<Operation>& operations()
{
    static const bool filled = [] {
        register_all_operations();
        return true;
    }();
    (void)filled;
    return registry();
}

const Operation* operation_find(std::string_view name)
{
    for (const Operation& op : operations())
        if (op.name == name)
            return &op;
    return nullptr;
}

std::string operation_key(std::string_view text)
{
    std::string key;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            key += char(std::tolower(static_cast<unsigned char>(c)));
        else if (c == '+')
            key += "plus";
        else if (!key.empty() && key.back() != '-')
            key += '-';
    }
    while (!key.empty() && key.back() == '-')
        key.pop_back();
    return key;
}

OperationValues operation_defaults(const Operation& op)
{
    OperationValues v;
    for (const OperationParam& p : op.params) {
        v.numbers.push_back(p.default_value);
        v.texts.push_back(p.default_text);
    }
    return v;
}

bool operation_set(const Operation& op, OperationValues& values, std::string_view key,
                   std::string_view text, std::string& message)
{
    for (size_t i = 0; i < op.params.size(); ++i) {
        const OperationParam& p = op.params[i];
        if (p.key != key)
            continue;
        switch (p.kind) {
        case OperationParam::kList:
            for (size_t k = 0; k < p.values.size(); ++k)
                if (p.values[k] != "-" && operation_key(p.values[k]) == operation_key(text)) {
                    values.numbers[i] = int(k);
                    return true;
                }
            message = "unknown value '" + std::string(text) + "' for " + p.key;
            return false;
        case OperationParam::kInteger: {
            int v = 0;
            if (!parse_int(text, v) || v < p.minimum || v > p.maximum) {
                message = p.key + " takes a whole number from " + std::to_string(p.minimum) + " to " +
                          std::to_string(p.maximum);
                return false;
            }
            values.numbers[i] = v;
            return true;
        }
        case OperationParam::kPercent: {
            std::string_view t = text;
            if (!t.empty() && t.back() == '%')
                t.remove_suffix(1);
            int v = 0;
            if (!parse_int(t, v) || v < p.minimum * 100 / 1024 || v > p.maximum * 100 / 1024) {
                message = p.key + " takes a percentage";
                return false;
            }
            values.numbers[i] = int(round_nearest(v * 1024 / 100.0));
            return true;
        }
        case OperationParam::kFile:
        case OperationParam::kText:
            if (p.check && !p.check(text, message))
                return false;
            values.texts[i] = std::string(text);
            return true;
        }
    }
    message = "unknown key '" + std::string(key) + "' for " + op.name;
    return false;
}

int operation_apply(const Operation& op, const OperationValues& values, const Image& input,
                    Image& output, int amount_low, const Image* mask, int mask_low, int mask_high)
{
    if (!(op.accepted_types & (1u << input.type)))
        return kIllegalImageType;
    std::unique_ptr<OperationSettings> settings;
    if (const int err = op.make(input, values, settings))
        return err;
    if (AmountBlock* amount = settings->amount()) {
        if (mask) {
            amount_select_mask(*amount, mask, mask);
            amount->is_signed = op.signed_amount;
            amount->low = mask_low;
            amount->high = mask_high;
        } else {
            amount->low = amount_low;
        }
    }
    int width = 0, height = 0;
    settings->output_size(input, width, height);
    RegionRequest q = region_full_request(input, output, op.title);
    q.output_width = q.columns = width;
    q.output_height = q.rows = height;
    q.last_column = width - 1;
    q.last_row = height - 1;
    if (region_runs_in_bands(settings->region(), q))
        return region_apply_in_bands(settings->region(), q, settings->record());
    return transformation_apply(settings->region(), settings->record(), input, output, op.title,
                                width, height);
}

} // namespace mv
