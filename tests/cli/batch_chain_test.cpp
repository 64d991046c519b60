// The batch tool's chain command: several transformations in memory give the same picture as
// the same transformations applied one by one through lossless files.
#include "batch_test_support.h"

namespace {

class BatchChain : public BatchTest {};

TEST_F(BatchChain, SameAsApplyingOneByOne)
{
    const std::string in = sample("chelsea.png"); // 451 x 300
    ASSERT_EQ(run({"apply", in, file("a.tif"), "crop", "left=10", "top=10", "right=440", "bottom=289"}).status, 0);
    ASSERT_EQ(run({"apply", file("a.tif"), file("b.tif"), "resize", "width=387", "height=252"}).status, 0);
    ASSERT_EQ(run({"apply", file("b.tif"), file("c.tif"), "sharpen"}).status, 0);
    const RunResult r = run({"chain", in, file("chain.tif"), "crop", "left=10", "top=10", "right=440",
                             "bottom=289", "+", "resize", "width=387", "height=252", "+", "sharpen"});
    ASSERT_EQ(r.status, 0) << r.err;
    const mv::Image chained = load(file("chain.tif"));
    EXPECT_EQ(chained.width, 387);
    EXPECT_TRUE(same_pixels(chained, load(file("c.tif"))));

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"chain", in, file("x.tif")},
          {"chain", in, file("x.tif"), "blur", "+"},
          {"chain", in, file("x.tif"), "blur", "+", "+", "sharpen"},
          {"chain", in, file("x.tif"), "blur", "radius"},
          {"chain", in, file("x.tif"), "blur", "+", "no-such-operation"}})
        EXPECT_EQ(run(bad).status, 2);
    EXPECT_EQ(run({"chain", file("missing.tif"), file("x.tif"), "blur"}).status, 1);
}

} // namespace
