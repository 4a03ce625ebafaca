/* The public header is valid C99: a C client includes it and sees the same layouts. */
#include <stdio.h>

#include "vanticAPI.h"

int main(void) {
    int failures = 0;
#define CHECK(cond)                                       \
    do {                                                  \
        if (!(cond)) {                                    \
            printf("layout check failed: %s\n", #cond);   \
            ++failures;                                   \
        }                                                 \
    } while (0)
    CHECK(VANTIC_RESULT_INT == 9);
    CHECK(VANTIC_RESULT_DOUBLE == 2);
    CHECK(VANTIC_RESULT_POINTER == 14);
    printf("%d passed, %d failed\n", failures ? 0 : 1, failures ? 1 : 0);
    return failures != 0;
}
