#pragma once

#include "platform/MessageLoop.h"

#include <type_traits>

namespace kirvan {

// A slot for a signal of the toolkit that runs its handler as an entry point of the program
// (MessageLoop::runHandler): an exception ends that operation only and goes to the loop's error
// handler, which shows it to the operator. Every connection of a window goes through it. The
// handler takes all of the signal's arguments or none.
template <class Handler> auto guardedSlot(MessageLoop& loop, Handler handler)
{
    return [&loop, handler](const auto&... arguments) {
        loop.runHandler([&] {
            if constexpr (std::is_invocable_v<const Handler&, decltype(arguments)...>) {
                handler(arguments...);
            } else {
                ((void)arguments, ...);
                handler();
            }
        });
    };
}

} // namespace kirvan
