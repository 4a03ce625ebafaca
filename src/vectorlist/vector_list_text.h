// The text form of a vector list: per vector "Z" when all three components are zero, otherwise per
// component "z" for zero or the number in "%f" form followed by "/". Infinities and not-a-number are
// written "inf/", "-inf/" and "nan/", which the number conversion reads back.
// Contract: saved scenes hold this text; every scene saved before must load the same.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantic {

// The longest number the reader keeps: the "%f" text of any finite double fits (at most 317
// characters); further characters of the same number are dropped.
constexpr size_t kVectorListNumberMax = 320;

// The longest text of one vector: three numbers of at most kVectorListNumberMax characters and "/".
constexpr size_t kVectorTextMax = 3 * (kVectorListNumberMax + 1);

// Writes the text of vectors *next, *next + 1, ... of count at out while at least kVectorTextMax
// characters of room remain before limit; returns the end of the text and leaves in *next the first
// vector not written. Sets *anyNonZero when a vector is written as something other than "Z".
char *WriteVectorListText(char *out, const char *limit, const double *vectors, int32_t count, int32_t *next,
                          bool *anyNonZero);

// The length of the text of count vectors, worked out without writing it. Sets *anyNonZero as the
// writer would.
int64_t VectorListTextLength(const double *vectors, int32_t count, bool *anyNonZero);

// Appends the text of count vectors to text. The result tells whether any vector was written as
// something other than "Z".
bool AppendVectorListText(std::string &text, const double *vectors, int32_t count);

// How many whole vectors the text holds: every "/" and "z" is one component, every "Z" three.
int32_t VectorListTextCount(std::string_view text);

// Reads the text into out, which holds count zero-filled vectors; components past them are dropped.
void ParseVectorListText(std::string_view text, double *out, int32_t count);

}  // namespace vantic
