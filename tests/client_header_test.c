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
    /* Target lists, tangent spaces, RBF records: layouts clients read and write (8-byte pointers). */
    {
#if UINTPTR_MAX == UINT64_MAX
        static const struct {
            const char *field;
            size_t actual, expected;
        } kits[] = {
            {"TargetList.numtargets", offsetof(TargetList, numtargets), 0},
            {"TargetList.targetid", offsetof(TargetList, targetid), 8},
            {"TargetList.targetdata", offsetof(TargetList, targetdata), 16},
            {"TargetList.initdata", offsetof(TargetList, initdata), 24},
            {"TargetList.freedata", offsetof(TargetList, freedata), 32},
            {"TargetList.copydata", offsetof(TargetList, copydata), 40},
            {"TargetList.datasize", offsetof(TargetList, datasize), 48},
            {"TargetList.objectid", offsetof(TargetList, objectid), 56},
            {"TargetList.dataid", offsetof(TargetList, dataid), 60},
            {"TargetList.userdata", offsetof(TargetList, userdata), 64},
            {"sizeof TargetList", sizeof(TargetList), 72},
            {"TangentPoint.numPolys", offsetof(TangentPoint, numPolys), 0},
            {"TangentPoint.corners", offsetof(TangentPoint, corners), 8},
            {"TangentPoint.neighbours", offsetof(TangentPoint, neighbours), 16},
            {"TangentPoint.numNeighbours", offsetof(TangentPoint, numNeighbours), 24},
            {"TangentPoint.position", offsetof(TangentPoint, position), 32},
            {"TangentPoint.normal", offsetof(TangentPoint, normal), 56},
            {"TangentPoint.refTri1", offsetof(TangentPoint, refTri1), 80},
            {"TangentPoint.refTri2", offsetof(TangentPoint, refTri2), 92},
            {"TangentPoint.refWeights1", offsetof(TangentPoint, refWeights1), 104},
            {"TangentPoint.refWeights2", offsetof(TangentPoint, refWeights2), 128},
            {"TangentPoint.matrix", offsetof(TangentPoint, matrix), 152},
            {"sizeof TangentPoint", sizeof(TangentPoint), 280},
            {"TangentSpace.objectId", offsetof(TangentSpace, objectId), 0},
            {"TangentSpace.passes", offsetof(TangentSpace, passes), 4},
            {"TangentSpace.numPoints", offsetof(TangentSpace, numPoints), 8},
            {"TangentSpace.points", offsetof(TangentSpace, points), 16},
            {"sizeof TangentSpace", sizeof(TangentSpace), 24},
            {"RbfMatrix.rows", offsetof(RbfMatrix, rows), 0},
            {"RbfMatrix.rowCount", offsetof(RbfMatrix, rowCount), 8},
            {"RbfMatrix.columnCount", offsetof(RbfMatrix, columnCount), 12},
            {"sizeof RbfMatrix", sizeof(RbfMatrix), 16},
            {"Rbf.nodeCount", offsetof(Rbf, nodeCount), 0},
            {"Rbf.matrix", offsetof(Rbf, matrix), 8},
            {"Rbf.weights", offsetof(Rbf, weights), 16},
            {"sizeof Rbf", sizeof(Rbf), 24},
        };
        size_t i;
        for (i = 0; i < sizeof kits / sizeof kits[0]; ++i) {
            if (kits[i].actual != kits[i].expected) {
                printf("%s at %u, expected %u\n", kits[i].field, (unsigned)kits[i].actual,
                       (unsigned)kits[i].expected);
                ++failures;
            }
        }
#endif
        CHECK(sizeof(((TangentPoint *)0)->matrix) == 16 * sizeof(double));
    }
    printf("%d passed, %d failed\n", failures ? 0 : 1, failures ? 1 : 0);
    return failures != 0;
}
