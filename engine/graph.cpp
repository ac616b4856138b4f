#include "engine/graph.h"

#include "engine/stream_check.h"
#include "foundation/memory_file.h"

#include <stdexcept>

void graph_c::AddEnvelope(const envelope_c& _envelope, float* _member)
{
    u32 index = 0;
    while (index <= max_target && (!_member || GetEnvelopeTarget(index) != _member))
        ++index;
    if (index > max_target)
        throw std::invalid_argument("void graph_c::AddEnvelope()");
    if (_envelope.keys.size() < 2)
        return;
    envelope_c& added = envelopes.emplace_back(_envelope);
    added.target = index;
}

void graph_c::Animate(float _time)
{
    for (const envelope_c& envelope : envelopes)
        envelope.Apply(this, _time);
}

void graph_c::Reset()
{
    for (const envelope_c& envelope : envelopes)
        envelope.Reset(this);
}

void graph_c::Write(output_file_c& _file) const
{
    _file.WriteU32(static_cast<u32>(envelopes.size()));
    for (const envelope_c& envelope : envelopes)
        envelope.Write(_file);
}

void graph_c::Read(input_file_c& _file)
{
    const u32 count = ReadCheckedU32(_file);
    CheckRecordCount(_file, count, envelope_record_min_size, "Invalid envelope count!");
    envelopes.resize(count);
    for (envelope_c& envelope : envelopes)
        envelope.Read(_file);
}

float* graph_c::GetEnvelopeTarget(u32)
{
    return nullptr;
}
