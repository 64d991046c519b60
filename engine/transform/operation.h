// The catalogue of transformations: for each one its name, title, controls and the way its
// settings are built from control values. The batch tool reads and applies operations from
// it, and the editor lays out a transformation window from the same description, so both
// compute bit for bit the same result.
#pragma once

#include "transform/amount.h"
#include "transform/region.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mv {

// One control of a transformation.
struct OperationParam {
    // kText: settings written inline ("points=0,0;128,140;255,255"), parsed by the operation.
    enum Kind { kList, kInteger, kPercent, kFile, kText };
    std::string key;                 // "method": the batch tool's key
    std::string label;               // "Method:": the window's label
    Kind kind = kInteger;
    std::vector<std::string> values; // list texts ("Gaussian", "-" separators count)
    int minimum = 0, maximum = 0;    // integers; percent controls are 0..1024
    int default_value = 0;           // list index, integer or 0..1024
    std::string default_text;        // files: none by default
    // Text controls: checks a value before it is taken (false with the reason in `message`).
    bool (*check)(std::string_view text, std::string& message) = nullptr;
};

// A transformation's settings built from control values: its region function, the record
// that function reads, and the output size it produces for an input.
class OperationSettings {
public:
    virtual ~OperationSettings() = default;
    virtual RegionFunction region() const = 0;
    virtual void* record() = 0;
    // The amount block inside the record, or null for transformations without one.
    virtual AmountBlock* amount() { return nullptr; }
    // Output size for an input; the default keeps the input's size.
    virtual void output_size(const Image& input, int& width, int& height) const
    {
        width = input.width;
        height = input.height;
    }
};

// The values of every control, in the order of Operation::params; file controls carry their
// path in `texts`.
struct OperationValues {
    std::vector<int> numbers;
    std::vector<std::string> texts;
};

struct Operation {
    std::string name;                 // "blur": menu text in lower case with hyphens
    std::string title;                // "Blur": window title and progress
    int kind = 0;                     // transformation number
    unsigned accepted_types = 0;      // bit t set for picture type t
    bool has_amount = true;
    // The Amount control is the main parameter, shown from -100% to +100% (512 = 0%).
    bool signed_amount = false;
    std::vector<OperationParam> params;
    // Builds the settings for an input; result 0 or an error code (a settings file that
    // cannot be read, an input of the wrong type).
    std::function<int(const Image& input, const OperationValues& values,
                      std::unique_ptr<OperationSettings>& out)>
        make;
};

// Every registered operation, in menu order.
const std::vector<Operation>& operations();
const Operation* operation_find(std::string_view name);

// The key form of a label or list text: lower case, blanks and punctuation as hyphens,
// "Unsharp Mask" -> "unsharp-mask", "Method:" -> "method".
std::string operation_key(std::string_view text);

// The defaults of every control.
OperationValues operation_defaults(const Operation& op);

// Sets one control from its batch-tool text: a list value by key form, an integer, a percent
// ("50" or "50%" -> 512), a file path. False when the key is unknown or the value does not
// fit, with the reason in `message`.
bool operation_set(const Operation& op, OperationValues& values, std::string_view key,
                   std::string_view text, std::string& message);

// Runs the operation over a whole input, as Apply does, with the amount block's low value
// (0..1024; for signed operations 512 is 0%) and an optional gray mask with the range of
// amounts it selects between. Result 0 or an error code.
int operation_apply(const Operation& op, const OperationValues& values, const Image& input,
                    Image& output, int amount_low = 1024, const Image* mask = nullptr,
                    int mask_low = 0, int mask_high = 1024);

// Adds the operations of one family (called once by the catalogue).
void operation_register(Operation op);

} // namespace mv
