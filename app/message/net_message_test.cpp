#include "app/message/net_message.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "app/message/net_message_type.h"

namespace {

std::vector<u8> Bytes(const net_message_c& m)
{
    return {m.GetPayload(), m.GetPayload() + m.GetLength()};
}

// A message filled up to `length` bytes with byte-wide writes.
net_message_c FilledTo(u32 length)
{
    net_message_c m;
    while (m.GetLength() + 2 <= length)
        m.WriteU16(0xA5A5);
    if (m.GetLength() < length)
        m.WriteCString("");
    return m;
}

TEST(NetMessage, ClearedRecord)
{
    net_message_c m;
    m.WriteU32(7).WriteBit(true);
    m.ReadU32();
    m.Clear();
    EXPECT_EQ(m.GetLength(), 0u);
    EXPECT_EQ(m.GetReadPos(), 0u);
    EXPECT_EQ(m.GetTime(), -2.0f);
    EXPECT_FALSE(m.IsOverflowed());
    EXPECT_FALSE(m.WasWriteRefused());
}

TEST(NetMessage, BitsAfterAWordShareOneByteFromTheTop)
{
    net_message_c m;
    m.WriteU16(0x1234).WriteBit(true).WriteBit(false).WriteBit(true);
    EXPECT_EQ(Bytes(m), (std::vector<u8>{0x34, 0x12, 0xA0}));
    m.WriteU16(1).WriteBit(true);
    EXPECT_EQ(Bytes(m), (std::vector<u8>{0x34, 0x12, 0xA0, 0x01, 0x00, 0x80}));

    EXPECT_EQ(m.ReadU16(), 0x1234);
    EXPECT_TRUE(m.ReadBit());
    EXPECT_FALSE(m.ReadBit());
    EXPECT_TRUE(m.ReadBit());
    EXPECT_EQ(m.ReadU16(), 1);
    EXPECT_TRUE(m.ReadBit());
    EXPECT_FALSE(m.IsOverflowed());
}

TEST(NetMessage, NineBitsTakeTwoBytes)
{
    net_message_c m;
    for (int i = 0; i < 9; ++i)
        m.WriteBit(i % 2 == 0);
    EXPECT_EQ(Bytes(m), (std::vector<u8>{0xAA, 0x80}));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(m.ReadBit(), i % 2 == 0) << i;
}

TEST(NetMessage, WordsAreLittleEndianAndTextsKeepTheirNul)
{
    net_message_c m;
    m.WriteU32(0x01020304).WriteString(string_c("ab")).WriteString(std::string()).WriteCString(nullptr);
    m.WriteEuler(euler_c(1.0f, 2.0f, 3.0f));
    std::vector<u8> expected = {4, 3, 2, 1, 'a', 'b', 0, 0};
    for (f32 v : {2.0f, 1.0f, 3.0f}) {
        const u32 bits = std::bit_cast<u32>(v);
        for (int i = 0; i < 4; ++i)
            expected.push_back(static_cast<u8>(bits >> (8 * i)));
    }
    EXPECT_EQ(Bytes(m), expected);
    EXPECT_EQ(m.ReadU32(), 0x01020304u);
    EXPECT_STREQ(m.ReadString().GetData(), "ab");
    EXPECT_STREQ(m.ReadString().GetData(), "");
    const euler_c e = m.ReadEuler();
    EXPECT_EQ(e.heading, 1.0f);
    EXPECT_EQ(e.pitch, 2.0f);
    EXPECT_EQ(e.bank, 3.0f);
    EXPECT_EQ(m.GetRemaining(), 0u);
}

// Each write at a length where it just fits and where it does not.
TEST(NetMessage, WritesFillThePayloadExactlyAndNeverPassIt)
{
    struct case_s {
        const char* what;
        u32 size;
        void (*write)(net_message_c&);
    };
    const case_s cases[] = {
        {"u16", 2, [](net_message_c& m) { m.WriteU16(0xFFFF); }},
        {"u32", 4, [](net_message_c& m) { m.WriteU32(0xFFFFFFFF); }},
        {"f32", 4, [](net_message_c& m) { m.WriteF32(-1.0f); }},
        {"bit", 1, [](net_message_c& m) { m.WriteBit(true); }},
        {"text", 4, [](net_message_c& m) { m.WriteString(string_c("abc")); }},
        {"c text", 4, [](net_message_c& m) { m.WriteCString("xyz"); }},
        {"vec3", 12, [](net_message_c& m) { m.WriteVec3(vec3_c(1, 2, 3)); }},
        {"euler", 12, [](net_message_c& m) { m.WriteEuler(euler_c(1, 2, 3)); }},
    };
    for (const case_s& c : cases) {
        net_message_c fits = FilledTo(net_message_c::kPayloadSize - c.size);
        c.write(fits);
        EXPECT_EQ(fits.GetLength(), net_message_c::kPayloadSize) << c.what;
        EXPECT_FALSE(fits.WasWriteRefused()) << c.what;

        net_message_c full = FilledTo(net_message_c::kPayloadSize - c.size + 1);
        const std::vector<u8> before = Bytes(full);
        c.write(full);
        EXPECT_TRUE(full.WasWriteRefused()) << c.what;
        EXPECT_EQ(Bytes(full), before) << c.what;
        // The refused write moved nothing: a following bit still lands where
        // it would have before.
        net_message_c twin = FilledTo(net_message_c::kPayloadSize - c.size + 1);
        twin.WriteBit(true);
        full.WriteBit(true);
        EXPECT_EQ(Bytes(full), Bytes(twin)) << c.what;
    }
}

TEST(NetMessage, WordAt4094FillsAndAt4095IsRefused)
{
    net_message_c m = FilledTo(4094);
    m.WriteU16(1);
    EXPECT_EQ(m.GetLength(), 4096u);
    net_message_c n = FilledTo(4095);
    n.WriteU16(1);
    EXPECT_EQ(n.GetLength(), 4095u);
    EXPECT_TRUE(n.WasWriteRefused());
}

TEST(NetMessage, TextLongerThanThePayloadIsRefused)
{
    net_message_c m;
    m.WriteString(std::string(4096, 'x'));
    EXPECT_EQ(m.GetLength(), 0u);
    EXPECT_TRUE(m.WasWriteRefused());
    m.WriteString(std::string(4095, 'x'));
    EXPECT_EQ(m.GetLength(), 4096u);
}

// A bit run that ends on a full payload goes on in its last byte; only a new
// byte is refused, and then the last byte keeps its bits.
TEST(NetMessage, BitsOnAFullPayload)
{
    net_message_c m = FilledTo(4095);
    m.WriteBit(false).WriteBit(true);
    EXPECT_EQ(m.GetPayload()[4095], 0x40);
    for (int i = 0; i < 6; ++i)
        m.WriteBit(false);
    EXPECT_FALSE(m.WasWriteRefused());
    m.WriteBit(true);
    EXPECT_TRUE(m.WasWriteRefused());
    EXPECT_EQ(m.GetPayload()[4095], 0x40);
    EXPECT_EQ(m.GetLength(), 4096u);
}

TEST(NetMessage, ReadsStopAtTheLength)
{
    struct case_s {
        const char* what;
        std::vector<u8> bytes;
        void (*read)(net_message_c&);
    };
    const case_s cases[] = {
        {"u16 of one byte", {1}, [](net_message_c& m) { EXPECT_EQ(m.ReadU16(), 0); }},
        {"u32 of three bytes", {1, 2, 3}, [](net_message_c& m) { EXPECT_EQ(m.ReadU32(), 0u); }},
        {"bit of nothing", {}, [](net_message_c& m) { EXPECT_FALSE(m.ReadBit()); }},
        {"text without its nul", {'a', 'b'}, [](net_message_c& m) { EXPECT_STREQ(m.ReadString().GetData(), ""); }},
        {"empty text", {}, [](net_message_c& m) { EXPECT_STREQ(m.ReadString().GetData(), ""); }},
        {"vec3 of eleven bytes", std::vector<u8>(11, 0x40),
         [](net_message_c& m) {
             const vec3_c v = m.ReadVec3();
             EXPECT_EQ(v.x, 0.0f);
             EXPECT_EQ(v.z, 0.0f);
         }},
    };
    for (const case_s& c : cases) {
        net_message_c m;
        ASSERT_TRUE(m.Assign(c.bytes.data(), c.bytes.size()));
        c.read(m);
        EXPECT_TRUE(m.IsOverflowed()) << c.what;
        EXPECT_EQ(m.GetReadPos(), 0u) << c.what;
    }
}

// The bytes past `length` hold old data that a reader must never see.
TEST(NetMessage, StaleBytesPastTheLengthAreNotRead)
{
    net_message_c m;
    m.WriteCString("abcdef");
    const u8 shorter[] = {'x', 'y'};
    ASSERT_TRUE(m.Assign(shorter, sizeof shorter));
    EXPECT_STREQ(m.ReadString().GetData(), "");
    EXPECT_TRUE(m.IsOverflowed());
}

TEST(NetMessage, OverflowHoldsUntilRewind)
{
    net_message_c m;
    m.WriteU16(5).WriteU32(6);
    m.ReadU32();
    m.ReadU32();
    EXPECT_TRUE(m.IsOverflowed());
    // A read that would fit is refused too: the fields are out of step.
    EXPECT_EQ(m.ReadU16(), 0);
    m.Rewind();
    EXPECT_FALSE(m.IsOverflowed());
    EXPECT_EQ(m.ReadU16(), 5);
    EXPECT_EQ(m.ReadU32(), 6u);
}

TEST(NetMessage, ReadPositionIsBounded)
{
    net_message_c m;
    m.WriteU32(1).WriteU32(2).WriteBit(true);
    m.SetReadPos(8);
    EXPECT_TRUE(m.ReadBit());
    m.SetReadPos(9);
    EXPECT_FALSE(m.IsOverflowed());
    EXPECT_FALSE(m.ReadBit());
    EXPECT_TRUE(m.IsOverflowed());
    m.Rewind();
    m.SetReadPos(10);
    EXPECT_TRUE(m.IsOverflowed());
}

TEST(NetMessage, AssignRefusesMoreThanAPayload)
{
    std::vector<u8> bytes(4097, 1);
    net_message_c m;
    m.WriteU16(3);
    EXPECT_FALSE(m.Assign(bytes.data(), bytes.size()));
    EXPECT_EQ(m.GetLength(), 2u);
    EXPECT_TRUE(m.Assign(bytes.data(), 4096));
    EXPECT_EQ(m.GetLength(), 4096u);
}

TEST(NetMessage, FirstWord)
{
    net_message_c m;
    m.WriteU16(1);
    EXPECT_EQ(m.PeekFirstWord(), 0u);
    m.WriteU16(2);
    EXPECT_EQ(m.PeekFirstWord(), 0x00020001u);
}

// Writes every field of a layout from a counter and reads it back; values
// compare by their bits, so a float must survive exactly.
struct field_writer_c {
    u32 counter = 0x9E3779B9;
    u32 Next() { return counter = counter * 1664525u + 1013904223u; }
    f32 NextFloat() { return std::bit_cast<f32>(Next()); }

    void Write(net_message_c& m, const char* body, std::vector<u32>& values)
    {
        for (const char* p = body; *p; ++p) {
            switch (*p) {
            case 'h':
                values.push_back(Next() & 0xFFFF);
                m.WriteU16(static_cast<u16>(values.back()));
                break;
            case 'w':
                values.push_back(Next());
                m.WriteU32(values.back());
                break;
            case 'f':
                values.push_back(Next());
                m.WriteF32(std::bit_cast<f32>(values.back()));
                break;
            case 'b':
                values.push_back(Next() >> 31);
                m.WriteBit(values.back() != 0);
                break;
            case 's': {
                const u32 n = Next() % 40;
                values.push_back(n);
                m.WriteString(std::string(n, static_cast<char>('a' + n % 26)));
                break;
            }
            case 'v':
            case 'e':
                for (int i = 0; i < 3; ++i)
                    values.push_back(Next());
                if (*p == 'v')
                    m.WriteVec3(vec3_c(std::bit_cast<f32>(values[values.size() - 3]),
                                       std::bit_cast<f32>(values[values.size() - 2]),
                                       std::bit_cast<f32>(values.back())));
                else
                    m.WriteEuler(euler_c(std::bit_cast<f32>(values[values.size() - 3]),
                                         std::bit_cast<f32>(values[values.size() - 2]),
                                         std::bit_cast<f32>(values.back())));
                break;
            }
        }
    }

    static std::vector<u32> Read(net_message_c& m, const char* body)
    {
        std::vector<u32> values;
        for (const char* p = body; *p; ++p) {
            switch (*p) {
            case 'h': values.push_back(m.ReadU16()); break;
            case 'w': values.push_back(m.ReadU32()); break;
            case 'f': values.push_back(std::bit_cast<u32>(m.ReadF32())); break;
            case 'b': values.push_back(m.ReadBit()); break;
            case 's': values.push_back(m.ReadString().GetLength()); break;
            case 'v': {
                const vec3_c v = m.ReadVec3();
                for (f32 c : {v.x, v.y, v.z})
                    values.push_back(std::bit_cast<u32>(c));
                break;
            }
            case 'e': {
                const euler_c e = m.ReadEuler();
                for (f32 c : {e.heading, e.pitch, e.bank})
                    values.push_back(std::bit_cast<u32>(c));
                break;
            }
            }
        }
        return values;
    }
};

TEST(NetMessageTypes, EveryBodyRoundTripsBitForBit)
{
    field_writer_c writer;
    for (const net_message_layout_s& layout : NetMessageLayouts()) {
        for (int round = 0; round < 20; ++round) {
            net_message_c m;
            std::vector<u32> written;
            writer.Write(m, layout.body, written);
            ASSERT_FALSE(m.WasWriteRefused()) << layout.name;
            net_message_c received;
            ASSERT_TRUE(received.Assign(m.GetPayload(), m.GetLength()));
            EXPECT_EQ(field_writer_c::Read(received, layout.body), written) << layout.name;
            EXPECT_FALSE(received.IsOverflowed()) << layout.name;
            EXPECT_EQ(received.GetRemaining(), 0u) << layout.name;
        }
    }
}

TEST(NetMessageTypes, TableFacts)
{
    u16 last = 0;
    for (const net_message_layout_s& layout : NetMessageLayouts()) {
        EXPECT_GT(layout.type, last);
        last = layout.type;
        EXPECT_EQ(FindNetMessageLayout(layout.type | kNetNoTimeStamp | kNetRelay), &layout);
    }
    EXPECT_EQ(NetMessageLayouts().size(), 0x113u - 0x101u + 1);
    EXPECT_EQ(FindNetMessageLayout(0x114), nullptr);
    EXPECT_EQ(FindNetMessageLayout(net_event_connected), nullptr);

    // The destroyed-plane body is 36 bytes; the game state's bit starts byte 8.
    net_message_c m;
    field_writer_c writer;
    std::vector<u32> values;
    writer.Write(m, FindNetMessageLayout(net_plane_destroyed)->body, values);
    EXPECT_EQ(m.GetLength(), 36u);
    m.Clear();
    writer.Write(m, FindNetMessageLayout(net_game_state)->body, values);
    EXPECT_EQ(m.GetLength(), 17u);
    m.SetReadPos(8);
    EXPECT_EQ(m.ReadBit(), values[values.size() - 3] != 0);

    for (u16 unstamped : {net_game_state, net_player_left_mission, net_player_left_game})
        EXPECT_TRUE(FindNetMessageLayout(unstamped)->unstamped) << unstamped;
}

// Every body cut short anywhere is refused by its reader; bytes after a whole
// body are left to whoever reads on.
TEST(NetMessageTypes, ShortAndLongBodies)
{
    field_writer_c writer;
    for (const net_message_layout_s& layout : NetMessageLayouts()) {
        net_message_c m;
        std::vector<u32> values;
        writer.Write(m, layout.body, values);
        for (u32 cut = 0; cut < m.GetLength(); ++cut) {
            net_message_c shorter;
            shorter.Assign(m.GetPayload(), cut);
            EXPECT_FALSE(SkipNetMessageFields(shorter, layout.body)) << layout.name << " cut at " << cut;
        }
        net_message_c longer;
        longer.Assign(m.GetPayload(), m.GetLength());
        longer.Clear();
        std::vector<u8> bytes(m.GetPayload(), m.GetPayload() + m.GetLength());
        bytes.insert(bytes.end(), {1, 2, 3});
        longer.Assign(bytes.data(), bytes.size());
        EXPECT_TRUE(SkipNetMessageFields(longer, layout.body)) << layout.name;
        EXPECT_EQ(longer.GetRemaining(), 3u) << layout.name;
    }
}

} // namespace
