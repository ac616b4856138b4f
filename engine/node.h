#pragma once
// Intrusive doubly linked lists: an element carries its own links (node_c<T>,
// or named_node_c<T> with a name) and a node_list_c<T> keeps first, last and
// count. Lists never own their elements; owners delete what they unlink.
#include "foundation/text_string.h"
#include "foundation/types.h"

template <class T>
class node_list_c;

template <class T>
class node_c {
public:
    T* GetPrevious() const { return previous; }
    T* GetNext() const { return next; }

protected:
    node_c() = default;
    // A copy is not in any list.
    node_c(const node_c&) {}
    node_c& operator=(const node_c&) { return *this; }
    ~node_c() = default;

private:
    friend class node_list_c<T>;
    T* previous = nullptr;
    T* next = nullptr;
};

template <class T>
class named_node_c : public node_c<T> {
public:
    const string_c& GetName() const { return name; }
    void SetName(const string_c& _name) { name = _name; }

protected:
    named_node_c() = default;
    explicit named_node_c(const string_c& _name) : name(_name) {}
    named_node_c(const named_node_c&) = default;
    named_node_c& operator=(const named_node_c&) = default;
    ~named_node_c() = default;

    string_c name;
};

template <class T>
class node_list_c {
public:
    node_list_c() = default;
    node_list_c(const node_list_c&) = delete;
    node_list_c& operator=(const node_list_c&) = delete;

    T* GetFirst() const { return first; }
    T* GetLast() const { return last; }
    u32 GetCount() const { return count; }

    void Append(T* _item)
    {
        node_c<T>* node = _item;
        node->previous = last;
        node->next = nullptr;
        if (last)
            static_cast<node_c<T>*>(last)->next = _item;
        else
            first = _item;
        last = _item;
        ++count;
    }

    // The caller makes sure _item is in this list (see Contains).
    void Unlink(T* _item)
    {
        node_c<T>* node = _item;
        if (node->previous)
            static_cast<node_c<T>*>(node->previous)->next = node->next;
        else
            first = node->next;
        if (node->next)
            static_cast<node_c<T>*>(node->next)->previous = node->previous;
        else
            last = node->previous;
        node->previous = node->next = nullptr;
        --count;
    }

    // Compares pointers only, so any pointer may be asked about.
    bool Contains(const T* _item) const
    {
        for (const T* item = first; item; item = static_cast<const node_c<T>*>(item)->next)
            if (item == _item)
                return true;
        return false;
    }

private:
    T* first = nullptr;
    T* last = nullptr;
    u32 count = 0;
};
