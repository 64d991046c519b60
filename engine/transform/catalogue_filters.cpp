// The filters and geometry of the catalogue.
#include "filters/blur.h"
#include "filters/sharpen.h"
#include "transform/catalogue_support.h"

namespace mv::catalogue {
namespace {

void register_blur()
{
    Operation op;
    op.name = "blur";
    op.title = "Blur";
    op.kind = 20;
    op.accepted_types = kAllPictures;
    op.params = {list_param("Method:", {"Blur", "Blur More", "Gaussian", "Median 3x3", "Median 5x5"}, 0),
                 integer_param("Radius:", 0, 128, 3), integer_param("Threshold:", 0, 255, 255)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<BlurSettings>>(blur_region);
        s->s.method = v.numbers[0];
        s->s.radius = v.numbers[1];
        s->s.threshold = v.numbers[2];
        out = std::move(s);
        return kOk;
    };
    operation_register(std::move(op));
}

void register_sharpen()
{
    Operation op;
    op.name = "sharpen";
    op.title = "Sharpen";
    op.kind = 21;
    op.accepted_types = kAllPictures;
    op.params = {list_param("Method:", {"Sharpen", "Heavy Sharpen", "Unsharp Mask"}, 0),
                 integer_param("Radius:", 0, 20, 3), integer_param("Threshold:", 0, 50, 0)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<SharpenSettings>>(sharpen_region);
        s->s.method = v.numbers[0];
        s->s.radius = v.numbers[1];
        s->s.threshold = v.numbers[2];
        out = std::move(s);
        return kOk;
    };
    operation_register(std::move(op));
}

} // namespace

void register_filter_operations()
{
    register_blur();
    register_sharpen();
}

} // namespace mv::catalogue
