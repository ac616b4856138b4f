#include "foundation/byte_stream.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

std::vector<u8> Counting(int n, int first = 0)
{
    std::vector<u8> bytes(static_cast<size_t>(n));
    std::iota(bytes.begin(), bytes.end(), static_cast<u8>(first));
    return bytes;
}

// A stream that cannot seek: reads consume its input, writes are recorded
// with the size of every raw write.
class pipe_stream_c : public stream_c {
public:
    explicit pipe_stream_c(std::vector<u8> input, u32 mode = kReadable | kWritable) : _input(std::move(input))
    {
        Init(mode, 0, static_cast<int>(_input.size()));
    }
    ~pipe_stream_c() override { Close(); }

    std::vector<u8> output;
    std::vector<int> writeSizes;
    int rawPeeks = 0;
    bool* closed = nullptr;

protected:
    void RawClose() override
    {
        if (closed)
            *closed = true;
    }
    int RawRead(void* buffer, int n) override
    {
        const int got = RawPeek(buffer, n);
        --rawPeeks;
        _at += got;
        return got;
    }
    int RawPeek(void* buffer, int n) override
    {
        ++rawPeeks;
        const int got = std::min(n, static_cast<int>(_input.size()) - _at);
        std::copy_n(_input.begin() + _at, got, static_cast<u8*>(buffer));
        return got;
    }
    int RawWrite(const void* buffer, int n) override
    {
        const u8* b = static_cast<const u8*>(buffer);
        output.insert(output.end(), b, b + n);
        writeSizes.push_back(n);
        return n;
    }

private:
    std::vector<u8> _input;
    int _at = 0;
};

TEST(ByteStream, BigEndianReads)
{
    const std::vector<u8> bytes = {0x12, 0x34, 0x01, 0x02, 0x03, 0x04, 0xAB};
    memory_stream_c s;
    ASSERT_EQ(s.Open(bytes.data(), static_cast<int>(bytes.size())), 0);
    EXPECT_EQ(s.PeekU16BE(), 0x1234);
    EXPECT_EQ(s.ReadU16BE(), 0x1234);
    EXPECT_EQ(s.PeekU32BE(), 0x01020304u);
    EXPECT_EQ(s.GetPosition(), 2);
    EXPECT_EQ(s.ReadU32BE(), 0x01020304u);
    EXPECT_EQ(s.ReadU8(), 0xAB);
    EXPECT_EQ(s.Control(9, 0, 0), 0);
    EXPECT_EQ(s.ReadU8(), 0); // past the end
    EXPECT_EQ(s.Control(9, 0, 0), 1);
}

TEST(ByteStream, ShortBigEndianReadUsesZerosOrTheFillByte)
{
    const std::vector<u8> bytes = {0xAA, 0xBB};
    memory_stream_c s;
    s.Open(bytes.data(), 2);
    EXPECT_EQ(s.ReadU32BE(), 0xAABB0000u);
    EXPECT_EQ(s.Control(10, 0, 0), 1); // read and clear
    EXPECT_EQ(s.Control(9, 0, 0), 0);

    s.Seek(0);
    EXPECT_EQ(s.Control(21, 0, 0xFF), -1); // old fill byte: none
    EXPECT_EQ(s.Control(22, 0, 0), 0xFF);
    EXPECT_EQ(s.ReadU32BE(), 0xAABBFFFFu);
    EXPECT_EQ(s.Control(9, 0, 0), 1);

    u8 buffer[6] = {};
    s.Seek(1);
    EXPECT_EQ(s.Read(buffer, 6), 1);
    EXPECT_EQ(buffer[0], 0xBB);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(buffer[i], 0xFF) << i;
    // A short peek behaves alike.
    s.Control(10, 0, 0);
    s.Seek(1);
    u8 peeked[3] = {};
    EXPECT_EQ(s.Peek(peeked, 3), 1);
    EXPECT_EQ(peeked[2], 0xFF);
    EXPECT_EQ(s.Control(9, 0, 0), 1);
    EXPECT_EQ(s.GetPosition(), 1);
}

// Buffered and unbuffered reads give the same bytes for any mix of sizes and
// seeks, on seekable streams and on streams that cannot seek.
TEST(ByteStream, BufferedReadsMatchUnbuffered)
{
    const std::vector<u8> data = Counting(200);
    const int chunks[] = {1, 3, 7, 16, 17, 40, 2, 64, 5};
    for (int capacity : {0, 4, 8, 16, 33}) {
        memory_stream_c memory;
        memory.Open(data.data(), 200);
        pipe_stream_c pipe(data, stream_c::kReadable);
        for (stream_c* s : {static_cast<stream_c*>(&memory), static_cast<stream_c*>(&pipe)}) {
            ASSERT_EQ(s->Control(15, 0, capacity), 1);
            EXPECT_EQ(s->Control(16, 0, 0), capacity);
            int expected = 0;
            for (int round = 0; round < 3; ++round) {
                for (int n : chunks) {
                    std::vector<u8> got(static_cast<size_t>(n));
                    const int count = s->Read(got.data(), n);
                    const int want = std::min(n, 200 - expected);
                    ASSERT_EQ(count, want) << capacity << " " << n;
                    for (int i = 0; i < count; ++i)
                        ASSERT_EQ(got[i], data[expected + i]) << capacity << " " << n;
                    expected += count;
                    ASSERT_EQ(s->GetPosition(), expected);
                }
            }
            EXPECT_EQ(expected, 200);
            EXPECT_EQ(s->Control(49, 0, 0), 1);
            EXPECT_EQ(s->Control(2, 0, 0), 1);
        }
    }
}

TEST(ByteStream, SeeksInsideAndOutsideTheBuffer)
{
    const std::vector<u8> data = Counting(100);
    memory_stream_c s;
    s.Open(data.data(), 100);
    s.Control(15, 0, 16);
    EXPECT_EQ(s.ReadU8(), 0);
    EXPECT_EQ(s.Control(17, 0, 0), 15); // unread buffered bytes
    EXPECT_EQ(s.Seek(10), 10);          // inside: only the read index moves
    EXPECT_EQ(s.Control(20, 0, 0), 10);
    EXPECT_EQ(s.ReadU8(), 10);
    EXPECT_EQ(s.Seek(3), 3);
    EXPECT_EQ(s.ReadU8(), 3);
    EXPECT_EQ(s.Seek(70), 70); // outside
    EXPECT_EQ(s.ReadU8(), 70);
    EXPECT_EQ(s.Seek(-5), 0);
    EXPECT_EQ(s.ReadU8(), 0);
    EXPECT_EQ(s.Seek(1000), 100);
    EXPECT_EQ(s.ReadU8(), 0);
    EXPECT_EQ(s.SeekFromEnd(-2), 98);
    EXPECT_EQ(s.ReadU8(), 98);
    EXPECT_EQ(s.SeekRelative(-10), 89);
    EXPECT_EQ(s.ReadU8(), 89);
    EXPECT_EQ(s.SeekRelative(INT_MAX), 100); // no overflow
    EXPECT_EQ(s.SeekRelative(INT_MIN), 0);
    EXPECT_EQ(s.Control(13, 0, 0), 100);

    pipe_stream_c pipe(data, stream_c::kReadable);
    pipe.ReadU8();
    EXPECT_EQ(pipe.Seek(50), 1); // cannot seek: stays
    EXPECT_EQ(pipe.ReadU8(), 1);
}

TEST(ByteStream, NullBufferSkipsInPiecesThroughTheTee)
{
    const std::vector<u8> data = Counting(2000);
    memory_stream_c s;
    s.Open(data.data(), 2000);
    pipe_stream_c tee({}, stream_c::kWritable);
    EXPECT_EQ(s.Control(51, reinterpret_cast<std::intptr_t>(&tee), 0), 0);
    EXPECT_EQ(s.Read(nullptr, 1000), 1000);
    EXPECT_EQ(tee.writeSizes, (std::vector<int>{256, 256, 256, 232}));
    EXPECT_EQ(s.GetPosition(), 1000);
    EXPECT_EQ(tee.output[999], data[999]);
    // A short piece ends the skip.
    EXPECT_EQ(s.Read(nullptr, 5000), 1000);
    EXPECT_EQ(tee.output.size(), 2000u);
    EXPECT_EQ(s.Read(nullptr, 0), 0);
}

TEST(ByteStream, TeeGetsReadsButNotPeeks)
{
    const std::vector<u8> data = Counting(10);
    memory_stream_c s;
    s.Open(data.data(), 10);
    std::vector<u8> copy(10, 0);
    memory_stream_c tee;
    tee.Open(copy.data(), 10, 1);
    s.SetTee(&tee);
    u8 b[4];
    s.Peek(b, 4);
    EXPECT_EQ(copy[0], 0);
    s.Read(b, 4);
    EXPECT_EQ(copy[3], 3);
    // Seeking moves the tee to the same position.
    s.Seek(7);
    EXPECT_EQ(tee.GetPosition(), 7);
    s.Read(b, 3);
    EXPECT_EQ(copy[9], 9);
    EXPECT_EQ(copy[5], 0);
}

TEST(ByteStream, PeekOnStreamsThatCannotSeek)
{
    const std::vector<u8> data = Counting(20);
    pipe_stream_c unbuffered(data, stream_c::kReadable);
    u8 b[12] = {};
    EXPECT_EQ(unbuffered.Peek(b, 4), 4); // straight to RawPeek
    EXPECT_EQ(unbuffered.rawPeeks, 1);
    EXPECT_EQ(unbuffered.ReadU8(), 0);

    pipe_stream_c buffered(data, stream_c::kReadable);
    buffered.Control(15, 0, 8);
    buffered.ReadU8();
    EXPECT_EQ(buffered.Peek(b, 4), 4);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[3], 4);
    // It cannot see further than its buffer.
    EXPECT_EQ(buffered.Peek(b, 12), 8);
    EXPECT_EQ(b[7], 8);
    EXPECT_EQ(buffered.Control(9, 0, 0), 1);
    EXPECT_EQ(buffered.GetPosition(), 1);
    u8 all[19] = {};
    EXPECT_EQ(buffered.Read(all, 19), 19);
    EXPECT_EQ(all[0], 1);
    EXPECT_EQ(all[18], 19);
    // Setting the buffer size fails while unread bytes would be lost.
    pipe_stream_c busy(data, stream_c::kReadable);
    busy.Control(15, 0, 8);
    busy.ReadU8();
    EXPECT_EQ(busy.Control(15, 0, 32), 0);
    EXPECT_EQ(busy.Control(31, 0, 0), 1); // flush, dropping unread bytes
    EXPECT_EQ(busy.Control(15, 0, 32), 1);
}

TEST(ByteStream, RangeOverSeekableParent)
{
    const std::vector<u8> data = Counting(50);
    memory_stream_c parent;
    parent.Open(data.data(), 50);

    range_stream_c window;
    ASSERT_EQ(window.Open(&parent, 100, 10), 0); // start past the end
    EXPECT_EQ(window.GetSize(), 0);
    EXPECT_EQ(window.ReadU8(), 0);
    EXPECT_EQ(window.Control(9, 0, 0), 1);

    ASSERT_EQ(window.Open(&parent, 45, 10), 0); // length cut to what remains
    EXPECT_EQ(window.GetSize(), 5);

    ASSERT_EQ(window.Open(&parent, 10, 8), 0);
    EXPECT_EQ(window.GetMode(), stream_c::kOpen | stream_c::kReadable | stream_c::kSeekable);
    EXPECT_EQ(window.ReadU8(), 10);
    EXPECT_EQ(window.Seek(7), 7);
    EXPECT_EQ(window.ReadU8(), 17);
    EXPECT_EQ(window.ReadU8(), 0); // the window ends at 18
    EXPECT_EQ(window.Seek(100), 8);
    window.Seek(2);
    parent.Seek(40); // the parent moving does not disturb the window
    EXPECT_EQ(window.ReadU16BE(), 12 << 8 | 13);

    ASSERT_EQ(window.Open(&parent, -5, -3), 0);
    EXPECT_EQ(window.GetSize(), 0);
    window.Close();
    EXPECT_EQ(window.Open(nullptr, 0, 1), -1);
    memory_stream_c closed;
    EXPECT_EQ(window.Open(&closed, 0, 1), -1);
}

TEST(ByteStream, RangeWritesStayInsideTheWindow)
{
    std::vector<u8> data(20, 0);
    memory_stream_c parent;
    parent.Open(data.data(), 20, 1);
    range_stream_c window;
    ASSERT_EQ(window.Open(&parent, 5, 3), 0);
    EXPECT_TRUE(window.GetMode() & stream_c::kWritable);
    const u8 bytes[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(window.Write(bytes, 5), 3);
    EXPECT_EQ(window.Control(11, 0, 0), 1); // the short write is an error
    EXPECT_EQ(data[4], 0);
    EXPECT_EQ(data[5], 1);
    EXPECT_EQ(data[7], 3);
    EXPECT_EQ(data[8], 0);
}

TEST(ByteStream, RangeOverStreamThatCannotSeek)
{
    const std::vector<u8> data = Counting(30);
    pipe_stream_c parent(data);
    range_stream_c window;
    EXPECT_EQ(window.Open(&parent, 3, 5), -1); // the parent stands at 0
    parent.Read(nullptr, 3);
    ASSERT_EQ(window.Open(&parent, 3, 5), 0);
    EXPECT_EQ(window.GetMode(), stream_c::kOpen | stream_c::kReadable); // not writable
    u8 b[8] = {};
    EXPECT_EQ(window.Read(b, 8), 5);
    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(b[4], 7);
    EXPECT_EQ(parent.GetPosition(), 8);

    pipe_stream_c writeOnly({}, stream_c::kWritable);
    EXPECT_EQ(window.Open(&writeOnly, 0, 5), -1);
    pipe_stream_c growOnly({}, stream_c::kGrowable);
    EXPECT_EQ(window.Open(&growOnly, 0, 5), -1);
}

TEST(ByteStream, MemoryStreamOpenAndWrites)
{
    std::vector<u8> block(4, 0);
    memory_stream_c s;
    EXPECT_EQ(s.Open(block.data(), 4, 0), 0);
    EXPECT_EQ(s.GetMode(), stream_c::kOpen | stream_c::kReadable | stream_c::kSeekable);
    EXPECT_EQ(s.Write("ab", 2), 0); // read-only
    EXPECT_EQ(s.Open(block.data(), 4, 1), 0);
    EXPECT_EQ(s.GetMode(), stream_c::kOpen | stream_c::kReadable | stream_c::kWritable | stream_c::kSeekable);
    EXPECT_EQ(s.Write("abcdef", 6), 4); // stops at the block's end
    EXPECT_EQ(std::string(block.begin(), block.end()), "abcd");
    EXPECT_EQ(s.Control(3, 0, 0), 1); // at its size: writing is over
    s.Seek(1);
    EXPECT_EQ(s.Control(3, 0, 0), 0);

    EXPECT_EQ(s.Open(nullptr, 5, 0), -1);
    EXPECT_EQ(s.GetMode(), 0u);
    EXPECT_EQ(s.Open(block.data(), -1, 0), -1);
    EXPECT_EQ(s.Open(nullptr, 0, 0), 0);
    EXPECT_EQ(s.ReadU8(), 0);

    stream_c closed;
    u8 b;
    EXPECT_EQ(closed.Read(&b, 1), 0);
    EXPECT_EQ(closed.Write(&b, 1), 0);
    EXPECT_EQ(closed.Seek(5), 0);
    EXPECT_EQ(closed.GetMode(), 0u);
}

// Bits written to a stream that cannot seek, in both bit orders, with both
// paddings.
TEST(ByteStream, WriteBitsOnStreamThatCannotSeek)
{
    struct case_s {
        int msbFirst, padOnes;
        std::vector<u8> expected;
    };
    // Writes 101 (3 bits), 11010 (5 bits), 1 (1 bit), then flushes.
    const case_s cases[] = {
        {0, 0, {0xD5, 0x01}},
        {1, 0, {0xBA, 0x80}},
        {0, 1, {0xD5, 0xFF}},
        {1, 1, {0xBA, 0xFF}},
    };
    for (const case_s& c : cases) {
        pipe_stream_c s({}, stream_c::kWritable);
        EXPECT_EQ(s.Control(25, 0, c.msbFirst), 0);
        EXPECT_EQ(s.Control(26, 0, 0), c.msbFirst);
        s.Control(27, 0, c.padOnes);
        s.WriteBits(0b101, 3);
        s.WriteBits(0xF0 | 0b11010, 5); // bits above the count are cut
        s.WriteBits(1, 1);
        EXPECT_EQ(s.output.size(), 1u);
        s.FlushBits();
        EXPECT_EQ(s.output, c.expected) << c.msbFirst << c.padOnes;
    }
}

TEST(ByteStream, BitsOnSeekableStreams)
{
    for (int msb = 0; msb < 2; ++msb) {
        std::vector<u8> block(8, 0);
        memory_stream_c s;
        s.Open(block.data(), 8, 1);
        s.Control(23, 0, msb);
        EXPECT_EQ(s.Control(26, 0, 0), msb);
        s.WriteBits(0b101, 3);
        EXPECT_EQ(s.GetPosition(), 0); // the partial byte is still open
        s.WriteBits(0b11010, 5);
        EXPECT_EQ(s.GetPosition(), 1);
        s.WriteBits(0x2AB, 10); // 10 1010 1011 across bytes 1 and 2
        s.WriteBits(0xFFFFFFFFu, 32);
        EXPECT_EQ(block[0], msb ? 0xBA : 0xD5) << msb;

        s.Seek(0);
        EXPECT_EQ(s.ReadBits(3), 0b101u);
        EXPECT_EQ(s.ReadBits(5), 0b11010u);
        EXPECT_EQ(s.ReadBits(10), 0x2ABu);
        EXPECT_EQ(s.ReadBits(32), 0xFFFFFFFFu);
        EXPECT_EQ(s.GetPosition(), 6); // 50 bits: 6 bytes and 2 bits
        EXPECT_EQ(s.Control(11, 0, 0), 0);

        // Skipping and aligning.
        s.Seek(0);
        s.SkipBits(3);
        EXPECT_EQ(s.ReadBits(5), 0b11010u);
        s.SkipBits(2);
        s.AlignToByte();
        EXPECT_EQ(s.GetPosition(), 2);
        s.SkipBits(17);
        EXPECT_EQ(s.GetPosition(), 4);
        s.FlushBits();
        EXPECT_EQ(s.GetPosition(), 5);
    }
}

TEST(ByteStream, SeekableWriteBitsKeepNeighbouringBits)
{
    struct case_s {
        int msbFirst;
        u8 first, second;
    };
    // Three zero bits at bit position 6 of 0xFF 0xFF.
    const case_s cases[] = {{0, 0x3F, 0xFE}, {1, 0xFC, 0x7F}};
    for (const case_s& c : cases) {
        std::vector<u8> block = {0xFF, 0xFF};
        memory_stream_c s;
        s.Open(block.data(), 2, 1);
        s.Control(23, 0, c.msbFirst);
        s.SkipBits(6);
        s.WriteBits(0, 3);
        EXPECT_EQ(block[0], c.first) << c.msbFirst;
        EXPECT_EQ(block[1], c.second) << c.msbFirst;
        EXPECT_EQ(s.GetPosition(), 1);
    }
    // Bits past the end of the block are lost and flagged as an error.
    std::vector<u8> one = {0};
    memory_stream_c s;
    s.Open(one.data(), 1, 1);
    s.WriteBits(0xFFF, 12);
    EXPECT_EQ(one[0], 0xFF);
    EXPECT_EQ(s.Control(12, 0, 0), 1);
    EXPECT_EQ(s.Control(11, 0, 0), 0);
}

TEST(ByteStream, BitsOnStreamsThatCannotSeek)
{
    for (int msb = 0; msb < 2; ++msb) {
        pipe_stream_c writer({}, stream_c::kWritable);
        writer.Control(25, 0, msb);
        writer.WriteBits(0b101, 3);
        writer.WriteBits(0x1234567, 27);
        writer.WriteBits(1, 1);
        writer.FlushBits();
        ASSERT_EQ(writer.output.size(), 4u);

        pipe_stream_c reader(writer.output, stream_c::kReadable);
        reader.Control(25, 0, msb);
        EXPECT_EQ(reader.ReadBits(3), 0b101u);
        EXPECT_EQ(reader.ReadBits(27), 0x1234567u);
        EXPECT_EQ(reader.ReadBits(1), 1u);

        pipe_stream_c skipper(writer.output, stream_c::kReadable);
        skipper.Control(25, 0, msb);
        skipper.SkipBits(3);
        EXPECT_EQ(skipper.GetPosition(), 1); // the partial byte is loaded
        skipper.SkipBits(13);
        EXPECT_EQ(skipper.GetPosition(), 2);
        skipper.SkipBits(1);
        skipper.AlignToByte();
        EXPECT_EQ(skipper.GetPosition(), 3);
        EXPECT_EQ(skipper.ReadU8(), writer.output[3]);
    }
}

TEST(ByteStream, WriteCollectBuffer)
{
    pipe_stream_c s({}, stream_c::kWritable);
    ASSERT_EQ(s.Control(18, 0, 4), 1);
    EXPECT_EQ(s.Control(19, 0, 0), 4);
    EXPECT_EQ(s.Write("abcdefghij", 10), 10);
    EXPECT_EQ(s.writeSizes, (std::vector<int>{4, 4}));
    EXPECT_EQ(s.Control(1, 0, 0), 8); // bytes written so far
    EXPECT_EQ(s.Flush(), 1);
    EXPECT_EQ(s.writeSizes, (std::vector<int>{4, 4, 2}));
    EXPECT_EQ(std::string(s.output.begin(), s.output.end()), "abcdefghij");

    s.Write("xy", 2);
    EXPECT_EQ(s.Control(43, 0, 0), 1); // finish writing
    EXPECT_EQ(s.output.size(), 12u);
    EXPECT_FALSE(s.GetMode() & stream_c::kWritable);
    EXPECT_EQ(s.Write("z", 1), 0);
    EXPECT_EQ(s.Control(3, 0, 0), 1);
}

TEST(ByteStream, FinishReading)
{
    const std::vector<u8> data = Counting(10);
    pipe_stream_c pipe(data, stream_c::kReadable);
    pipe.SkipBits(3);
    EXPECT_EQ(pipe.Control(42, 0, 0), 1);
    EXPECT_FALSE(pipe.GetMode() & stream_c::kReadable);
    EXPECT_EQ(pipe.Control(2, 0, 0), 1);

    memory_stream_c memory;
    memory.Open(data.data(), 10);
    memory.SkipBits(3);
    EXPECT_EQ(memory.Control(42, 0, 0), 1);
    EXPECT_EQ(memory.GetPosition(), 1);
    EXPECT_TRUE(memory.GetMode() & stream_c::kReadable);
}

TEST(ByteStream, ChainActsOnItsLastStream)
{
    const std::vector<u8> first = Counting(10, 0);
    const std::vector<u8> second = Counting(10, 100);
    memory_stream_c head;
    head.Open(first.data(), 10);
    bool closed = false;
    auto* tail = new pipe_stream_c(second, stream_c::kReadable);
    tail->closed = &closed;
    head.Append(tail, true);
    EXPECT_EQ(head.GetMode(), stream_c::kOpen | stream_c::kReadable);
    EXPECT_EQ(head.ReadU8(), 100);
    EXPECT_EQ(head.Control(0, 0, 0), 1);
    EXPECT_EQ(head.Seek(5), 1); // the tail cannot seek
    head.Close();
    EXPECT_TRUE(closed);
    EXPECT_EQ(head.GetMode(), 0u);

    // An unowned stream is closed but not deleted.
    memory_stream_c head2, tail2;
    head2.Open(first.data(), 10);
    tail2.Open(second.data(), 10);
    head2.Append(&tail2, false);
    EXPECT_EQ(head2.ReadU8(), 100);
    head2.Close();
    EXPECT_EQ(tail2.GetMode(), 0u);
}

TEST(ByteStream, ControlCodesReportState)
{
    const std::vector<u8> data = Counting(30);
    memory_stream_c s;
    s.Open(data.data(), 30);
    s.Control(15, 0, 8);
    s.Read(nullptr, 3);
    EXPECT_EQ(s.Control(0, 0, 0), 3);
    EXPECT_EQ(s.Control(1, 0, 0), 3);
    EXPECT_EQ(s.Control(4, 0, 0), 30);
    EXPECT_EQ(s.Control(13, 0, 0), 27);
    EXPECT_EQ(s.Control(14, 0, 0), 27);
    EXPECT_EQ(s.Control(16, 0, 0), 8);
    EXPECT_EQ(s.Control(17, 0, 0), 5);
    EXPECT_EQ(s.Control(19, 0, 0), 8);
    EXPECT_EQ(s.Control(20, 0, 0), 3);
    EXPECT_EQ(s.Control(2, 0, 0), 0);
    EXPECT_EQ(s.Control(49, 0, 0), 0);
    EXPECT_EQ(s.Control(23, 0, 1), 0);
    EXPECT_EQ(s.Control(24, 0, 0), 1);
    EXPECT_EQ(s.Control(27, 0, 1), 0);
    EXPECT_EQ(s.Control(28, 0, 0), 1);
    EXPECT_EQ(s.Control(11, 0, 0), 0);
    EXPECT_EQ(s.Control(12, 0, 0), 0);
    EXPECT_EQ(s.Control(4098, 0, 0), 0);
    EXPECT_EQ(s.Control(29, 0, 0), 1);
    EXPECT_EQ(s.Control(17, 0, 0), 0); // read-ahead dropped
    EXPECT_EQ(s.ReadU8(), 3);
    EXPECT_EQ(s.Control(15, 0, -1), 0);
}

} // namespace
