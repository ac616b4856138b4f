#pragma once
// The common part of the renderer's three resource caches. Resources are
// shared by key string (compared without regard to case), carry a use count
// and are deleted only by Purge (count below 1) or by the cache's destruction,
// never when their count drops.
#include "engine/node.h"
#include "foundation/text_string.h"
#include "foundation/types.h"

#include <ostream>

template <class T>
class resource_cache_c {
public:
    resource_cache_c() = default;
    resource_cache_c(const resource_cache_c&) = delete;
    resource_cache_c& operator=(const resource_cache_c&) = delete;
    virtual ~resource_cache_c()
    {
        while (T* item = resources.GetFirst()) {
            resources.Unlink(item);
            delete item;
        }
    }

    // The first resource whose name equals the key, or null.
    T* Find(const char* _key) const
    {
        for (T* item = resources.GetFirst(); item; item = item->GetNext())
            if (item->GetName() == _key)
                return item;
        return nullptr;
    }

    // One use more, when _resource belongs to this cache; else null.
    T* AddRef(T* _resource)
    {
        if (!_resource || !resources.Contains(_resource))
            return nullptr;
        ++_resource->useCount;
        return _resource;
    }

    // One use fewer, when _resource belongs to this cache. A count at 0 stays
    // 0: an unpaired release must not make the resource unpurgeable.
    void Release(T* _resource)
    {
        if (_resource && resources.Contains(_resource) && _resource->useCount > 0)
            --_resource->useCount;
    }

    // Deletes every resource whose use count is below 1; the others keep
    // their order.
    void Purge()
    {
        T* item = resources.GetFirst();
        while (item) {
            T* next = item->GetNext();
            if (item->useCount < 1) {
                resources.Unlink(item);
                delete item;
            }
            item = next;
        }
    }

    // Sum of the resources' device sizes in bytes.
    u32 GetTotalSize() const
    {
        u32 total = 0;
        for (T* item = resources.GetFirst(); item; item = item->GetNext())
            total += item->GetSize();
        return total;
    }

    u32 GetCount() const { return resources.GetCount(); }
    T* GetFirst() const { return resources.GetFirst(); }

protected:
    // The resource of the definition's key, made by _create(key, definition)
    // and appended when the cache has none. A factory's exception passes
    // through with nothing appended.
    template <class D, class F>
    T* FindOrCreate(const D& _definition, F _create)
    {
        string_c key;
        _definition.GetKey(key);
        if (T* found = Find(key))
            return found;
        T* created = _create(static_cast<const char*>(key), _definition);
        resources.Append(created);
        return created;
    }

    // Title, total KB, " KB, ", count, " element(s)\n".
    void PrintHeader(std::ostream& _out, const char* _title) const
    {
        _out << _title << (GetTotalSize() >> 10) << " KB, " << GetCount() << " element(s)\n";
    }

    // The header, then "name, KB KB, count hit(s)" per resource.
    void PrintPlainStatistics(std::ostream& _out, const char* _title) const
    {
        PrintHeader(_out, _title);
        for (T* item = resources.GetFirst(); item; item = item->GetNext())
            _out << item->GetName() << ", " << (item->GetSize() >> 10) << " KB, " << item->useCount << " hit(s)\n";
    }

private:
    node_list_c<T> resources;
};
