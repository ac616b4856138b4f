#include "app/state_factories.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/text_string.h"

namespace {

struct named_factory_s {
    string_c name;
    state_factory_s factory;
};

std::vector<named_factory_s>& Factories()
{
    static std::vector<named_factory_s> factories;
    return factories;
}

named_factory_s* Find(const string_c& _name)
{
    for (named_factory_s& entry : Factories())
        if (entry.name == _name)
            return &entry;
    return nullptr;
}

} // namespace

void SetStateFactory(const char* _name, state_factory_s _factory)
{
    auto& factories = Factories();
    named_factory_s* entry = Find(_name);
    if (!_factory.make) {
        if (entry)
            factories.erase(factories.begin() + (entry - factories.data()));
        return;
    }
    if (entry)
        entry->factory = std::move(_factory);
    else
        factories.push_back({_name, std::move(_factory)});
}

std::unique_ptr<state_c> MakeState(const char* _name)
{
    const named_factory_s* entry = Find(_name);
    std::unique_ptr<state_c> state = entry ? entry->factory.make() : nullptr;
    if (!state)
        throw std::runtime_error(std::string("The program has no \"") + _name + "\" state!");
    return state;
}

void SetStateFrameTimer(state_c& _state, timer_c* _timer)
{
    const named_factory_s* entry = Find(_state.GetName());
    if (entry && entry->factory.set_frame_timer)
        entry->factory.set_frame_timer(_state, _timer);
}
