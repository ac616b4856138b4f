#pragma once
// graph_c: the envelope holder of an animated object. Each envelope is bound to
// one float member of the owner by a target index, the member's position in
// 32-bit words from the start of the holder in the stored layout (the holder
// itself takes words 0 to 2). The numbers are kept in files, so every owner
// class maps them to its members through GetEnvelopeTarget; an index the
// owner does not map is never written through.
#include "engine/envelope.h"
#include "foundation/types.h"

#include <vector>

class input_file_c;
class output_file_c;

class graph_c {
public:
    // Highest target index an owner may map.
    static constexpr u32 max_target = 1023;

    graph_c() = default;
    graph_c(const graph_c&) = default;
    graph_c& operator=(const graph_c&) = default;
    virtual ~graph_c() = default;

    // Binds a copy of _envelope (keys, pre, post) to _member, a float member of
    // the owner, and appends it. An envelope with fewer than two keys is
    // dropped: the caller stores such a constant itself. A member the owner
    // does not map throws std::invalid_argument("void graph_c::AddEnvelope()").
    void AddEnvelope(const envelope_c& _envelope, float* _member);

    // Applies every envelope at the owner's local time, in list order.
    void Animate(float _time);
    // Puts every bound member back to its first key's value.
    void Reset();

    // Holder record: u32 envelope count, then the envelope records. Read
    // resizes the list to the stored count (keeping the first envelopes) and
    // reads each over the existing one.
    void Write(output_file_c& _file) const;
    void Read(input_file_c& _file);

    const std::vector<envelope_c>& GetEnvelopes() const { return envelopes; }
    u32 GetEnvelopeCount() const { return static_cast<u32>(envelopes.size()); }

    // The owner's member for a target index, or null when the owner does not
    // animate that index. Owners override it and ask their base for indices
    // they do not know; the holder alone maps nothing.
    virtual float* GetEnvelopeTarget(u32 _index);

private:
    std::vector<envelope_c> envelopes;
};
