// Records what the window passes to sha1_digest. window_tests is linked with
// --wrap for sha1_digest, so every call from ui/ goes through sha1_spy.cpp
// first and then on to the real function.
#pragma once

#include <cstdint>
#include <vector>

namespace sha1_spy {

struct Call {
    const uint8_t* data;
    uint32_t length;
};

// Calls since the last Clear, in order.
const std::vector<Call>& Calls();
void Clear();

}  // namespace sha1_spy
