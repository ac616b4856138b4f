#include "engine/graph.h"

#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

// An owner with two animated members at target indices 3 and 7.
class owner_c : public graph_c {
public:
    float first = 0.0f;
    float second = 0.0f;
    float unmapped = 0.0f;

    float* GetEnvelopeTarget(u32 _index) override
    {
        switch (_index) {
        case 3: return &first;
        case 7: return &second;
        default: return graph_c::GetEnvelopeTarget(_index);
        }
    }
};

envelope_c Ramp(f32 from, f32 to)
{
    envelope_c envelope(99);
    envelope_key_c a, b;
    a.time = 0;
    a.value = from;
    a.shape = shape_linear;
    b.time = 1;
    b.value = to;
    b.shape = shape_linear;
    envelope.keys = {a, b};
    return envelope;
}

input_file_c ViewOf(const output_file_c& out)
{
    return input_file_c(out.GetData(), out.GetSize());
}

u32 WordAt(const output_file_c& out, u32 offset)
{
    u32 value;
    std::memcpy(&value, out.GetData() + offset, 4);
    return value;
}

} // namespace

TEST(GraphTest, AddEnvelopeBindsTheMembersIndex)
{
    owner_c owner;
    owner.AddEnvelope(Ramp(0, 10), &owner.second);
    ASSERT_EQ(owner.GetEnvelopeCount(), 1u);
    EXPECT_EQ(owner.GetEnvelopes()[0].target, 7u);

    owner.Animate(0.5f);
    EXPECT_FLOAT_EQ(owner.second, 5.0f);
    EXPECT_EQ(owner.first, 0.0f);
    owner.Reset();
    EXPECT_EQ(owner.second, 0.0f);
}

TEST(GraphTest, AddEnvelopeOnAMemberTheOwnerDoesNotMapThrows)
{
    owner_c owner;
    try {
        owner.AddEnvelope(Ramp(0, 1), &owner.unmapped);
        FAIL() << "no exception";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "void graph_c::AddEnvelope()");
    }
    EXPECT_THROW(owner.AddEnvelope(Ramp(0, 1), nullptr), std::invalid_argument);
    EXPECT_EQ(owner.GetEnvelopeCount(), 0u);
}

TEST(GraphTest, EnvelopesOfFewerThanTwoKeysAreDropped)
{
    owner_c owner;
    envelope_c single = Ramp(3, 4);
    single.keys.resize(1);
    owner.AddEnvelope(single, &owner.first);
    owner.AddEnvelope(envelope_c(), &owner.first);
    EXPECT_EQ(owner.GetEnvelopeCount(), 0u);
}

TEST(GraphTest, ResetWithoutKeysStoresZero)
{
    owner_c owner;
    owner.first = 8.0f;
    envelope_c empty(3);
    empty.Reset(&owner);
    EXPECT_EQ(owner.first, 0.0f);
}

TEST(GraphTest, EnvelopesAreAppliedInListOrder)
{
    owner_c owner;
    owner.AddEnvelope(Ramp(0, 10), &owner.first);
    owner.AddEnvelope(Ramp(5, 6), &owner.first);
    owner.Animate(1.0f);
    EXPECT_EQ(owner.first, 6.0f);
}

TEST(GraphTest, EnvelopeRecordLayout)
{
    envelope_c envelope(24);
    envelope_key_c key;
    key.value = 1.5f;
    key.time = 2.0f;
    key.shape = shape_bezier;
    key.tension = 0.25f;
    key.param3 = -1.0f;
    envelope.keys = {key};
    envelope.pre = behaviour_repeat;
    envelope.post = behaviour_linear;

    output_file_c out;
    envelope.Write(out);
    out.WriteU32(0xABCD);
    ASSERT_EQ(out.GetSize(), 4u + 4 + 40 + 2 + 2 + 4);
    EXPECT_EQ(WordAt(out, 0), 24u);
    EXPECT_EQ(WordAt(out, 4), 1u);
    EXPECT_EQ(WordAt(out, 8), std::bit_cast<u32>(1.5f));
    EXPECT_EQ(WordAt(out, 12), std::bit_cast<u32>(2.0f));
    EXPECT_EQ(WordAt(out, 16), 2u); // shape byte, then three zero bytes
    EXPECT_EQ(WordAt(out, 20), std::bit_cast<u32>(0.25f));
    EXPECT_EQ(WordAt(out, 44), std::bit_cast<u32>(-1.0f));
    EXPECT_EQ(out.GetData()[48], 2);
    EXPECT_EQ(out.GetData()[49], 5);
    EXPECT_EQ(WordAt(out, 52), 0xABCDu);

    input_file_c in = ViewOf(out);
    envelope_c back;
    back.Read(in);
    EXPECT_EQ(back.target, 24u);
    ASSERT_EQ(back.keys.size(), 1u);
    EXPECT_EQ(back.keys[0].shape, shape_bezier);
    EXPECT_EQ(back.keys[0].param3, -1.0f);
    EXPECT_EQ(back.pre, behaviour_repeat);
    EXPECT_EQ(back.post, behaviour_linear);
    EXPECT_EQ(in.GetPosition(), 50u);
}

TEST(GraphTest, HolderRoundTrip)
{
    owner_c owner;
    owner.AddEnvelope(Ramp(0, 10), &owner.first);
    owner.AddEnvelope(Ramp(4, 2), &owner.second);
    output_file_c out;
    owner.Write(out);

    owner_c loaded;
    input_file_c in = ViewOf(out);
    loaded.Read(in);
    EXPECT_EQ(in.GetPosition(), out.GetSize());
    ASSERT_EQ(loaded.GetEnvelopeCount(), 2u);
    loaded.Animate(0.5f);
    EXPECT_FLOAT_EQ(loaded.first, 5.0f);
    EXPECT_FLOAT_EQ(loaded.second, 3.0f);
}

TEST(GraphTest, ReadResizesTheListToTheStoredCount)
{
    owner_c source;
    source.AddEnvelope(Ramp(0, 1), &source.first);
    output_file_c out;
    source.Write(out);

    owner_c target;
    target.AddEnvelope(Ramp(0, 1), &target.first);
    target.AddEnvelope(Ramp(0, 1), &target.second);
    target.AddEnvelope(Ramp(0, 1), &target.second);
    input_file_c in = ViewOf(out);
    target.Read(in);
    EXPECT_EQ(target.GetEnvelopeCount(), 1u);
}

TEST(GraphTest, StoredTargetsTheOwnerDoesNotMapAreIgnored)
{
    graph_c plain;
    envelope_c stray = Ramp(0, 1);
    stray.target = 0x7FFFFFFF;
    output_file_c out;
    out.WriteU32(1);
    stray.Write(out);

    owner_c owner;
    input_file_c in = ViewOf(out);
    owner.Read(in);
    ASSERT_EQ(owner.GetEnvelopeCount(), 1u);
    owner.Animate(0.5f);
    owner.Reset();
    EXPECT_EQ(owner.first, 0.0f);
    EXPECT_EQ(owner.second, 0.0f);

    // The holder alone maps nothing.
    input_file_c again = ViewOf(out);
    plain.Read(again);
    plain.Animate(0.5f);
}

namespace {

void ExpectReadError(const output_file_c& out, const char* message)
{
    owner_c owner;
    input_file_c in = ViewOf(out);
    try {
        owner.Read(in);
        FAIL() << "no exception for " << message;
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), message);
    }
}

} // namespace

TEST(GraphTest, CountsLargerThanTheDataAreRefused)
{
    output_file_c envelopes;
    envelopes.WriteU32(0xFFFFFFFF);
    ExpectReadError(envelopes, "Invalid envelope count!");

    output_file_c keys;
    keys.WriteU32(1);
    keys.WriteU32(3);
    keys.WriteU32(0x10000000);
    keys.WriteU32(0);
    ExpectReadError(keys, "Invalid envelope key count!");
}

TEST(GraphTest, TruncatedRecordsAreRefused)
{
    owner_c owner;
    owner.AddEnvelope(Ramp(0, 1), &owner.first);
    output_file_c out;
    owner.Write(out);
    for (u32 cut : {0u, 3u, 6u, 10u, 30u, out.GetSize() - 1}) {
        owner_c loaded;
        input_file_c in(out.GetData(), cut);
        EXPECT_THROW(loaded.Read(in), file_error_c) << cut;
    }
}
