#pragma once
// prediction_value_c: the last two samples of a value with their times (the
// sender's clock), and the value they give at any other time: the straight
// line through the two, extended past the newer one. A network copy of a
// remote plane shows its position and rotation this way between the state
// samples its owner sends.
//
// Push keeps at most two samples: the newest replaces the older one.
// Predict(time, step):
//   - no sample, or two with the same time: no value;
//   - one sample: its value;
//   - two: u = (time - time0) / (time1 - time0); with step <= 0, or when u
//     is at most step + 1, Interpolate(value0, value1, u) (u > 1
//     extrapolates); otherwise the extrapolation walks in steps: a copy
//     pushes its own value at time1 + i x step while that lies before the
//     asked time (at most 99 times) and answers at the asked time.
//
// prediction_value_euler_c interpolates each angle the short way round: an
// angle more than 3.14 away from its target is first moved by 2 pi towards
// it (the threshold is 3.14, not pi, so a difference of exactly 3.14 is
// taken directly).
#include "foundation/vector_math.h"

#include <memory>
#include <optional>

template <typename T>
class prediction_value_c {
public:
    prediction_value_c() = default;
    virtual ~prediction_value_c() = default;
    prediction_value_c(const prediction_value_c&) = default;
    prediction_value_c& operator=(const prediction_value_c&) = default;

    // A new predictor with the same samples, owned by the caller.
    virtual std::unique_ptr<prediction_value_c> Clone() const { return std::make_unique<prediction_value_c>(*this); }
    // a + (b - a) x t, per component.
    virtual T Interpolate(const T& _a, const T& _b, float _t) const { return _a + (_b - _a) * _t; }

    void Push(float _time, const T& _value)
    {
        if (count < 2) {
            value[count] = _value;
            time[count] = _time;
            ++count;
            return;
        }
        value[0] = value[1];
        time[0] = time[1];
        value[1] = _value;
        time[1] = _time;
    }

    std::optional<T> Predict(float _time, float _step) const
    {
        if (count == 0)
            return std::nullopt;
        if (count == 1)
            return value[0];
        const float span = time[1] - time[0];
        if (span == 0.0f)
            return std::nullopt;
        const float u = (_time - time[0]) / span;
        if (_step <= 0.0f || u <= _step + 1.0f)
            return Interpolate(value[0], value[1], u);
        std::unique_ptr<prediction_value_c> walk = Clone();
        for (int i = 1; i < max_walk; ++i) {
            const float at = time[1] + static_cast<float>(i) * _step;
            if (!(at < _time))
                break;
            const std::optional<T> next = walk->Predict(at, -1.0f);
            if (!next)
                return std::nullopt;
            walk->Push(at, *next);
        }
        return walk->Predict(_time, -1.0f);
    }

    int GetCount() const { return count; }
    float GetTime(int _index) const { return time[_index]; }
    const T& GetValue(int _index) const { return value[_index]; }
    void Clear() { count = 0; }

private:
    static constexpr int max_walk = 100;

    T value[2] = {};
    float time[2] = {0.0f, 0.0f};
    int count = 0;
};

// Angles are kept as a vec3_c of heading, pitch and bank, as the scene
// entities hold them.
class prediction_value_euler_c : public prediction_value_c<vec3_c> {
public:
    std::unique_ptr<prediction_value_c<vec3_c>> Clone() const override
    {
        return std::make_unique<prediction_value_euler_c>(*this);
    }
    vec3_c Interpolate(const vec3_c& _a, const vec3_c& _b, float _t) const override
    {
        return vec3_c(Angle(_a.x, _b.x, _t), Angle(_a.y, _b.y, _t), Angle(_a.z, _b.z, _t));
    }

    // One angle the short way round (see above).
    static float Angle(float _a, float _b, float _t)
    {
        constexpr float threshold = 3.14f;
        constexpr float turn = 6.283185307179586f;
        const float difference = _a - _b;
        if (difference > threshold || difference < -threshold)
            _a = _a >= _b ? _a - turn : _a + turn;
        return _a + (_b - _a) * _t;
    }
};
