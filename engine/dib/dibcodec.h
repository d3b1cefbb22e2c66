// The codec routines of the stored image body: a byte run-length code with the escape
// byte 0xFF, and a per-channel prediction filter over 24-bit rows.
#pragma once

#include <cstdint>

class QIODevice;

// Appends the run-length code of Size bytes and its end code to Dest.
void RLECompress(const uint8_t* Source, int Size, QIODevice& Dest);

// Decodes from Source up to the end code into Dest, which holds Size bytes. Throws DIB_ERROR
// when the code would write more than Size bytes or the input ends before the end code.
// Returns the number of bytes written.
int RLEDecompress(QIODevice& Source, int Size, uint8_t* Dest);

// Encode: writes Height rows of Width 24-bit pixels as differences to the previous pixel of
// each channel. Decode: reads them back into Data. Rows of Data are (Width * 3 + 3) & ~3
// bytes apart. Throws DIB_ERROR when the stream ends early.
void INCFilter(uint8_t* Data, int Width, int Height, bool Encode, QIODevice& Stream);

// the error of a corrupt or truncated stored image body
extern const char* const DIBCorruptMessage;
