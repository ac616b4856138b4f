#include "foundation/processor_dispatch.h"

#include <gtest/gtest.h>

namespace {

int plain_calls = 0;
int avx2_calls = 0;

void Plain(int& total, int value)
{
    ++plain_calls;
    total += value;
}

void Avx2(int& total, int value)
{
    ++avx2_calls;
    total += value;
}

} // namespace

// The first call binds the body the processor allows and runs it; later calls
// go straight to the same body.
TEST(ProcessorDispatchTest, FirstCallBindsAndRunsTheChosenBody)
{
    using dispatch_c = processor_dispatch_c<&Plain, &Avx2>;
    int total = 0;
    dispatch_c::Call(total, 2);
    dispatch_c::Call(total, 3);
    EXPECT_EQ(total, 5);
    EXPECT_EQ(HasAvx2() ? avx2_calls : plain_calls, 2);
    EXPECT_EQ(HasAvx2() ? plain_calls : avx2_calls, 0);
}
