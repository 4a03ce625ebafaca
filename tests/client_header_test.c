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
    /* Brush: the layout separately built clients read and write (8-byte pointers: LP64 and LLP64). */
    {
#if UINTPTR_MAX == UINT64_MAX
        static const struct {
            const char *field;
            size_t actual, expected;
        } brush[] = {
            {"mode", offsetof(Brush, mode), 0},
            {"pickMode", offsetof(Brush, pickMode), 4},
            {"weightMode", offsetof(Brush, weightMode), 8},
            {"radius", offsetof(Brush, radius), 16},
            {"falloff", offsetof(Brush, falloff), 24},
            {"targetCount", offsetof(Brush, targetCount), 32},
            {"targetIds", offsetof(Brush, targetIds), 40},
            {"selection", offsetof(Brush, selection), 48},
            {"weights", offsetof(Brush, weights), 56},
            {"mouseX", offsetof(Brush, mouseX), 64},
            {"mouseY", offsetof(Brush, mouseY), 68},
            {"mouseButton", offsetof(Brush, mouseButton), 72},
            {"hitTarget", offsetof(Brush, hitTarget), 76},
            {"hitPolygon", offsetof(Brush, hitPolygon), 80},
            {"hitTriangle", offsetof(Brush, hitTriangle), 84},
            {"hitEdge", offsetof(Brush, hitEdge), 96},
            {"hitPoint", offsetof(Brush, hitPoint), 104},
            {"hitBarycentric", offsetof(Brush, hitBarycentric), 112},
            {"hitPosition", offsetof(Brush, hitPosition), 136},
            {"hitDistance", offsetof(Brush, hitDistance), 160},
            {"anchor", offsetof(Brush, anchor), 168},
            {"delta", offsetof(Brush, delta), 192},
            {"boxSelection", offsetof(Brush, boxSelection), 216},
            {"targetMeshes", offsetof(Brush, targetMeshes), 224},
            {"toolObject", offsetof(Brush, toolObject), 232},
            {"undoIndex", offsetof(Brush, undoIndex), 236},
            {"undoStore", offsetof(Brush, undoStore), 240},
            {"undoRestore", offsetof(Brush, undoRestore), 248},
            {"undoUserData", offsetof(Brush, undoUserData), 256},
            {"undoLevels", offsetof(Brush, undoLevels), 264},
            {"reserved", offsetof(Brush, reserved), 268},
            {"action", offsetof(Brush, action), 280},
            {"handle", offsetof(Brush, handle), 284},
            {"armature", offsetof(Brush, armature), 288},
            {"viewType", offsetof(Brush, viewType), 292},
            {"sizeof", sizeof(Brush), 296},
        };
        size_t i;
        for (i = 0; i < sizeof brush / sizeof brush[0]; ++i) {
            if (brush[i].actual != brush[i].expected) {
                printf("Brush.%s at %u, expected %u\n", brush[i].field, (unsigned)brush[i].actual,
                       (unsigned)brush[i].expected);
                ++failures;
            }
        }
#endif
        CHECK(sizeof(((Brush *)0)->hitTriangle) == 12 && sizeof(((Brush *)0)->hitEdge) == 8);
        CHECK(sizeof(((Brush *)0)->reserved) == 12);
    }
    printf("%d passed, %d failed\n", failures ? 0 : 1, failures ? 1 : 0);
    return failures != 0;
}
