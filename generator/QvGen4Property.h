// The one pattern every property setter of the model follows: an unchanged value is ignored, a
// refused one too (the check reports it where the model says so), an accepted one is stored and
// the owner is asked to update.
#pragma once

#include <utility>

// Stores Value into Field when it differs and Accept(Value) agrees; returns whether it stored.
template <class T, class Accept> bool AssignProperty(T& Field, const T& Value, Accept&& Accept_) {
    if (Field == Value || !std::forward<Accept>(Accept_)(Value)) {
        return false;
    }
    Field = Value;
    return true;
}

template <class T> bool AssignProperty(T& Field, const T& Value) {
    return AssignProperty(Field, Value, [](const T&) { return true; });
}
