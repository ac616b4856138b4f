#pragma once
// ref_counted_c: the reference counting every object of the layer shares.
// A new object holds one reference; the Release that drops the last one
// deletes it.
#include "platform/d3d9/d3d9.h"

template <class Interface>
class ref_counted_c : public Interface {
public:
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override
    {
        const ULONG left = --refs;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    ULONG GetRefCount() const { return refs; }

private:
    ULONG refs = 1;
};
