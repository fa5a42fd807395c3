#pragma once

// A broken promise stops the fuzzer at once, with the input that broke it.
inline void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}
