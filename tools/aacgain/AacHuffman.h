#pragma once
// The Huffman codes of AAC's scale factors and spectral data (codebooks 1 to
// 11), decoded with the code tables of Debian's faad2 source package, which
// the build fetches (fetch-faad2-source).
#include "AacBitReader.h"

namespace AacHuffman {

constexpr int kFirstSpectralBook = 1;
constexpr int kLastSpectralBook = 11;
constexpr int kEscapeBook = 11;

// A scale factor difference, 0..120 with 60 for "no change"; -1 for a code
// the table does not hold.
int readScaleFactorCode(AacBitReader& reader);

// How many spectral values one codeword of the book carries: 4 or 2.
int valuesPerCodeword(int book);

// Reads one codeword of a spectral book (1..11) with its sign bits and, in
// book 11, its escape sequences; writes its values into values[0..3] (the
// last two stay 0 for a pair). False for a code the table does not hold or an
// escape longer than the standard allows.
bool readSpectralCodeword(AacBitReader& reader, int book, int values[4]);

} // namespace AacHuffman
