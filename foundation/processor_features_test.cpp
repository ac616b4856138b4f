#include "foundation/processor_features.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessorFeatures, SseAnswerIsStableAndConsistent)
{
    const bool first = HasSse();
    EXPECT_EQ(HasSse(), first);
    EXPECT_EQ(first, HasCpuFeature(kCpuFeatureSse) && OsSupportsSse());
#if defined(__x86_64__)
    // Every x86-64 processor has SSE and SSE2 (bit 26).
    EXPECT_TRUE(first);
    EXPECT_TRUE(HasCpuFeature(0x04000000));
#endif
    EXPECT_FALSE(HasCpuFeature(0));
}

} // namespace
