// Where the painted time stands: the portable part of centring it.
#pragma once

#include <cstdint>

// Where a box of the given size starts when centred in client: signed, and
// truncated toward zero, so an oversized text overflows both sides evenly.
int32_t CenteredOrigin(int32_t client, int32_t size);
