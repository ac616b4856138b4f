#pragma once
// current_stack_c<T>: the "newest instance is current" rule shared by the
// file systems and the file writers. Constructing a T makes it current;
// destroying it makes the one before current again. An instance destroyed out
// of order is unlinked and the rest of the stack stays as it was. When the
// stack is empty, T::GetDefault() supplies the instance that serves.
template <typename T>
class current_stack_c {
public:
    static T* GetCurrent() { return current ? static_cast<T*>(current) : T::GetDefault(); }

    current_stack_c(const current_stack_c&) = delete;
    current_stack_c& operator=(const current_stack_c&) = delete;

protected:
    current_stack_c() : previous(current) { current = this; }
    ~current_stack_c()
    {
        if (current == this) {
            current = previous;
            return;
        }
        for (current_stack_c* newer = current; newer; newer = newer->previous)
            if (newer->previous == this) {
                newer->previous = previous;
                return;
            }
    }

private:
    current_stack_c* previous;
    static inline constinit current_stack_c* current = nullptr;
};
