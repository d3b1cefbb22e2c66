// LZSS over a 4096-byte window with adaptive Huffman coding of literals and match lengths
// and a fixed prefix code for the upper bits of match positions. A compressed stream is
// the uncompressed size (32-bit little-endian) and then the code bits, most significant
// bit first. Every object keeps its own tables: two objects may run in two threads.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;

class TLZH {
public:
    TLZH();
    ~TLZH();

    QIODevice* FInputStream = nullptr;
    QIODevice* FOutputStream = nullptr;

    // Decompress refuses a stream that claims more bytes than this (ElzhException)
    int64_t MaxOutput = INT32_MAX;
    // Past the end of the input the decoder reads zero bits; after this many missing bytes
    // the stream is taken as corrupt (ElzhException) instead of being decoded on and on
    int MaxReadPastEnd = 16;

    // Compresses Size bytes of FInputStream into FOutputStream; returns the bytes written,
    // size field included. Size 0 writes nothing and returns 0.
    int Compress(int Size);
    // Decompresses one stream; writes exactly the size it names and returns it.
    int Decompress();

    // sees every decoded symbol: a literal (0-255) or a match (length, distance)
    std::function<void(int Literal, int Length, int Distance)> OnToken;

    int InSize = 0, OutSize = 0;  // bytes read and written

private:
    struct Tables;
    using TReadProc = int (TLZH::*)(uint8_t* Buffer, int Count);
    using TWriteProc = void (TLZH::*)(const uint8_t* Buffer, int Count);

    int Run(const std::function<void()>& Body);
    Tables& NewTables();
    void StartRun();
    void EndRun();
    int GetBlock(uint8_t* Buffer, int Count);
    void PutBlock(const uint8_t* Buffer, int Count);
    void Flush();
    int ReadByte();  // -1 at the end
    void WriteByte(uint8_t B);
    int LZHPack(int Size);
    void LZHUnpack(int64_t Size);

    // coder
    void StartHuff();
    void Reconst();
    void Update(int C);
    void Putcode(int L, uint16_t C);
    void EncodeChar(unsigned C);
    void EncodePosition(unsigned C);
    void FillBits();
    int GetBit();
    int GetByte();
    int DecodeChar();
    int DecodePosition();
    void InitTree();
    void InsertNode(int R);
    void DeleteNode(int P);

    std::unique_ptr<Tables> t_;
    std::vector<uint8_t> LZHInBuf, LZHOutBuf;
    int Buf = 0, PosnR = 0, PosnW = 0;
    int pastEnd_ = 0;
    TReadProc ReadProc = nullptr;
    TWriteProc WriteProc = nullptr;
};
