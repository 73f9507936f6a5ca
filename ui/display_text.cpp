#include "display_text.h"

int32_t CenteredOrigin(int32_t client, int32_t size) {
    return (client - size) / 2;
}
