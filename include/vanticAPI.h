/* vanticAPI: the client header.
 *
 * Client plug-ins look the module's functions up in the host's function registry by name (category
 * "General") and call them through the function types declared here. Records created by a function
 * belong to the caller until handed to the matching Delete or Free function. Valid C99 and C++.
 * All layouts are fixed: 32-bit ints, 64-bit words and doubles in the order given, natural alignment. */
#ifndef VANTIC_API_H
#define VANTIC_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Result-type codes the functions are registered with. */
#define VANTIC_RESULT_INT 9     /* a 32-bit signed int */
#define VANTIC_RESULT_DOUBLE 2  /* a double */
#define VANTIC_RESULT_POINTER 14 /* a pointer, or no result */

/* Results of korrinEntry. */
#define VANTIC_ENTRY_LOADED 0
#define VANTIC_ENTRY_OLD_VERSION 1
#define VANTIC_ENTRY_BINDING_FAILED 4
#define VANTIC_ENTRY_WRONG_KIND 5

/* The category every function is registered under. */
#define VANTIC_CATEGORY "General"

/* ======================================================================================== */
/* Geometry: vectors are double[3]; barycentric weights (wa, wb, wc) follow the corners a, b, c. */
/* ======================================================================================== */

/* ======================================================================================== */
/* Triangulation records                                                                     */
/* ======================================================================================== */

/* ======================================================================================== */
/* Brush                                                                                     */
/* ======================================================================================== */

/* ======================================================================================== */
/* Target lists                                                                              */
/* ======================================================================================== */

/* ======================================================================================== */
/* Tangent spaces                                                                            */
/* ======================================================================================== */

/* ======================================================================================== */
/* RBF interpolation                                                                         */
/* ======================================================================================== */

/* ======================================================================================== */
/* Vector lists                                                                              */
/* ======================================================================================== */

#ifdef __cplusplus
}
#endif

#endif /* VANTIC_API_H */
