#include "engine/dib/tlzh.h"

#include <cstring>
#include <new>

#include <QIODevice>

#include "engine/dib/elzhexception.h"
#include "engine/dib/elzrw1exception.h"

namespace {

constexpr int N = 4096;
constexpr int F = 60;
constexpr int THRESHOLD = 2;
constexpr int NIL = N;
constexpr int N_CHAR = 256 - THRESHOLD + F;
constexpr int T = N_CHAR * 2 - 1;
constexpr int R = T - 1;
constexpr unsigned MAX_FREQ = 0x8000;
constexpr int kBlock = 32768;

struct PositionCodes {
    uint8_t p_len[64], p_code[64], d_code[256], d_len[256];
    PositionCodes()
    {
        // 1 value of 3 bits, 3 of 4, 8 of 5, 12 of 6, 24 of 7, 16 of 8, codes consecutive
        const int counts[6] = {1, 3, 8, 12, 24, 16};
        int v = 0, code = 0;
        for (int l = 0; l < 6; ++l)
            for (int i = 0; i < counts[l]; ++i, ++v) {
                p_len[v] = uint8_t(l + 3);
                p_code[v] = uint8_t(code);
                for (int b = 0; b < 1 << (8 - p_len[v]); ++b) d_code[code + b] = uint8_t(v), d_len[code + b] = p_len[v];
                code += 1 << (8 - p_len[v]);
            }
    }
};
const PositionCodes kCodes;

}  // namespace

struct TLZH::Tables {
    uint8_t text_buf[N + F - 1];
    int lson[N + 1], rson[N + 257], dad[N + 1];
    uint16_t freq[T + 1];
    int prnt[T + N_CHAR];
    int son[T];
    uint16_t getbuf = 0, putbuf = 0;
    int getlen = 0, putlen = 0;
    int64_t textsize = 0, codesize = 0;
    int match_position = 0, match_length = 0;
};

TLZH::TLZH() = default;
TLZH::~TLZH() = default;

// ---- buffered I/O

void TLZH::StartRun()
{
    try {
        LZHInBuf.assign(kBlock + 16, 0);
        LZHOutBuf.assign(kBlock + 16, 0);
    } catch (const std::bad_alloc&) {
        throw ELzrw1Exception("LZH (de)compression : Failed to get memory for I/O buffers !");
    }
    if (!FInputStream || FInputStream->pos() < 0)
        throw ELzrw1Exception("LZH (de)compression : Failed to initialize input stream !");
    if (!FOutputStream || FOutputStream->pos() < 0)
        throw ELzrw1Exception("LZH (de)compression : Failed to initialize output stream !");
    InSize = OutSize = 0;
    ReadProc = &TLZH::GetBlock;
    WriteProc = &TLZH::PutBlock;
    Buf = 0;
    PosnR = PosnW = 1;
    pastEnd_ = 0;
}

void TLZH::EndRun()
{
    t_.reset();
    LZHInBuf = {};
    LZHOutBuf = {};
}

int TLZH::GetBlock(uint8_t* Buffer, int Count)
{
    int done = 0;
    while (done < Count) {
        if (PosnR > Buf) {
            const qint64 n = FInputStream->read(reinterpret_cast<char*>(LZHInBuf.data()), kBlock);
            if (n < 0) throw ELzrw1Exception("LZH : Error reading from input stream ! (LZH)");
            if (n == 0) break;
            Buf = int(n);
            PosnR = 1;
        }
        const int take = std::min(Count - done, Buf - PosnR + 1);
        std::memcpy(Buffer + done, LZHInBuf.data() + PosnR - 1, take);
        PosnR += take;
        done += take;
    }
    InSize += done;
    return done;
}

void TLZH::PutBlock(const uint8_t* Buffer, int Count)
{
    if (PosnW - 1 + Count > kBlock) Flush();
    if (Count > kBlock) {
        FOutputStream->write(reinterpret_cast<const char*>(Buffer), Count);
    } else {
        std::memcpy(LZHOutBuf.data() + PosnW - 1, Buffer, Count);
        PosnW += Count;
    }
    OutSize += Count;
}

void TLZH::Flush()
{
    if (PosnW > 1) FOutputStream->write(reinterpret_cast<const char*>(LZHOutBuf.data()), PosnW - 1);
    PosnW = 1;
}

int TLZH::ReadByte()
{
    uint8_t b;
    return (this->*ReadProc)(&b, 1) == 1 ? b : -1;
}

void TLZH::WriteByte(uint8_t B)
{
    (this->*WriteProc)(&B, 1);
}

// ---- runs

// buffers for one run, freed however it ends; returns the bytes written
int TLZH::Run(const std::function<void()>& Body)
{
    StartRun();
    try {
        Body();
        Flush();
    } catch (...) {
        EndRun();
        throw;
    }
    EndRun();
    return OutSize;
}

int TLZH::Compress(int Size)
{
    if (Size <= 0) return 0;
    return Run([&] {
        const uint32_t size = uint32_t(Size);
        const uint8_t head[4] = {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)};
        (this->*WriteProc)(head, 4);
        LZHPack(Size);
    });
}

int TLZH::Decompress()
{
    return Run([&] {
        uint8_t head[4];
        if ((this->*ReadProc)(head, 4) != 4) throw ELzrw1Exception("LZH : Error reading from input stream ! (LZH)");
        const int64_t size = int64_t(head[0] | head[1] << 8 | head[2] << 16 | uint32_t(head[3]) << 24);
        if (size > MaxOutput || size > INT32_MAX) throw ElzhException("LZH : Compressed data corrupted");
        LZHUnpack(size);
    });
}

// ---- Huffman coder

void TLZH::StartHuff()
{
    Tables& t = *t_;
    for (int i = 0; i < N_CHAR; i++) {
        t.freq[i] = 1;
        t.son[i] = i + T;
        t.prnt[i + T] = i;
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, j++) {
        t.freq[j] = uint16_t(t.freq[i] + t.freq[i + 1]);
        t.son[j] = i;
        t.prnt[i] = t.prnt[i + 1] = j;
    }
    t.freq[T] = 0xFFFF;
    t.prnt[R] = 0;
}

void TLZH::Reconst()
{
    Tables& t = *t_;
    // leaves to the front, counts halved
    int j = 0;
    for (int i = 0; i < T; i++)
        if (t.son[i] >= T) {
            t.freq[j] = uint16_t((t.freq[i] + 1) / 2);
            t.son[j] = t.son[i];
            j++;
        }
    // internal nodes inserted in sorted order
    for (int i = 0, j2 = N_CHAR; j2 < T; i += 2, j2++) {
        const unsigned f = t.freq[i] + t.freq[i + 1];
        t.freq[j2] = uint16_t(f);
        int k = j2 - 1;
        while (f < t.freq[k]) k--;
        k++;
        const size_t l = size_t(j2 - k);
        std::memmove(&t.freq[k + 1], &t.freq[k], l * sizeof t.freq[0]);
        t.freq[k] = uint16_t(f);
        std::memmove(&t.son[k + 1], &t.son[k], l * sizeof t.son[0]);
        t.son[k] = i;
    }
    for (int i = 0; i < T; i++) {
        const int k = t.son[i];
        if (k >= T) t.prnt[k] = i;
        else t.prnt[k] = t.prnt[k + 1] = i;
    }
}

void TLZH::Update(int C)
{
    Tables& t = *t_;
    if (t.freq[R] == MAX_FREQ) Reconst();
    int c = t.prnt[C + T];
    do {
        const unsigned k = ++t.freq[c];
        int l = c + 1;
        if (k > t.freq[l]) {
            // keep the counts sorted: swap with the last node of smaller count
            while (k > t.freq[++l]) {}
            l--;
            t.freq[c] = t.freq[l];
            t.freq[l] = uint16_t(k);
            const int i = t.son[c];
            t.prnt[i] = l;
            if (i < T) t.prnt[i + 1] = l;
            const int j = t.son[l];
            t.son[l] = i;
            t.prnt[j] = c;
            if (j < T) t.prnt[j + 1] = c;
            t.son[c] = j;
            c = l;
        }
    } while ((c = t.prnt[c]) != 0);
}

void TLZH::Putcode(int L, uint16_t C)
{
    Tables& t = *t_;
    t.putbuf = uint16_t(t.putbuf | C >> t.putlen);
    if ((t.putlen += L) >= 8) {
        WriteByte(uint8_t(t.putbuf >> 8));
        if ((t.putlen -= 8) >= 8) {
            WriteByte(uint8_t(t.putbuf));
            t.codesize += 2;
            t.putlen -= 8;
            t.putbuf = uint16_t(uint32_t(C) << (L - t.putlen));
        } else {
            t.putbuf = uint16_t(t.putbuf << 8);
            t.codesize++;
        }
    }
}

void TLZH::EncodeChar(unsigned C)
{
    Tables& t = *t_;
    // the path from the leaf up, collected so that the root's branch ends on top
    uint32_t code = 0;
    int len = 0;
    int k = t.prnt[C + T];
    do {
        code >>= 1;
        if (k & 1) code |= 0x80000000u;
        len++;
    } while ((k = t.prnt[k]) != R);
    if (len <= 16) {
        Putcode(len, uint16_t(code >> 16));
    } else {
        Putcode(16, uint16_t(code >> 16));
        Putcode(len - 16, uint16_t(code));
    }
    Update(int(C));
}

void TLZH::EncodePosition(unsigned C)
{
    const unsigned i = C >> 6;
    Putcode(kCodes.p_len[i], uint16_t(kCodes.p_code[i] << 8));
    Putcode(6, uint16_t((C & 0x3F) << 10));
}

// at least 9 bits in the register; a missing byte counts as 0
void TLZH::FillBits()
{
    Tables& t = *t_;
    while (t.getlen <= 8) {
        int b = ReadByte();
        if (b < 0) {
            b = 0;
            if (++pastEnd_ > MaxReadPastEnd) throw ElzhException("LZH : Compressed data corrupted");
        }
        t.getbuf = uint16_t(t.getbuf | b << (8 - t.getlen));
        t.getlen += 8;
    }
}

int TLZH::GetBit()
{
    Tables& t = *t_;
    FillBits();
    const int bit = t.getbuf >> 15;
    t.getbuf = uint16_t(t.getbuf << 1);
    t.getlen--;
    return bit;
}

int TLZH::GetByte()
{
    Tables& t = *t_;
    FillBits();
    const int byte = t.getbuf >> 8;
    t.getbuf = uint16_t(t.getbuf << 8);
    t.getlen -= 8;
    return byte;
}

int TLZH::DecodeChar()
{
    Tables& t = *t_;
    int c = t.son[R];
    while (c < T) {
        c += GetBit();
        c = t.son[c];
    }
    c -= T;
    Update(c);
    return c;
}

int TLZH::DecodePosition()
{
    int i = GetByte();
    const int c = kCodes.d_code[i] << 6;
    int j = kCodes.d_len[i] - 2;
    while (j--) i = (i << 1) + GetBit();
    return c | (i & 0x3F);
}

// ---- match trees

void TLZH::InitTree()
{
    Tables& t = *t_;
    for (int i = N + 1; i <= N + 256; i++) t.rson[i] = NIL;
    for (int i = 0; i < N; i++) t.dad[i] = NIL;
}

void TLZH::InsertNode(int r)
{
    Tables& t = *t_;
    int cmp = 1;
    const uint8_t* key = &t.text_buf[r];
    int p = N + 1 + key[0];
    t.rson[r] = t.lson[r] = NIL;
    t.match_length = 0;
    for (;;) {
        if (cmp >= 0) {
            if (t.rson[p] != NIL) p = t.rson[p];
            else {
                t.rson[p] = r;
                t.dad[r] = p;
                return;
            }
        } else {
            if (t.lson[p] != NIL) p = t.lson[p];
            else {
                t.lson[p] = r;
                t.dad[r] = p;
                return;
            }
        }
        int i;
        for (i = 1; i < F; i++)
            if ((cmp = key[i] - t.text_buf[p + i]) != 0) break;
        if (i > THRESHOLD) {
            if (i > t.match_length) {
                t.match_position = ((r - p) & (N - 1)) - 1;
                if ((t.match_length = i) >= F) break;
            }
            if (i == t.match_length) {
                const int c = ((r - p) & (N - 1)) - 1;
                if (c < t.match_position) t.match_position = c;
            }
        }
    }
    // a full match: r takes p's place in the tree
    t.dad[r] = t.dad[p];
    t.lson[r] = t.lson[p];
    t.rson[r] = t.rson[p];
    t.dad[t.lson[p]] = r;
    t.dad[t.rson[p]] = r;
    if (t.rson[t.dad[p]] == p) t.rson[t.dad[p]] = r;
    else t.lson[t.dad[p]] = r;
    t.dad[p] = NIL;
}

void TLZH::DeleteNode(int p)
{
    Tables& t = *t_;
    if (t.dad[p] == NIL) return;
    int q;
    if (t.rson[p] == NIL) q = t.lson[p];
    else if (t.lson[p] == NIL) q = t.rson[p];
    else {
        q = t.lson[p];
        if (t.rson[q] != NIL) {
            do q = t.rson[q];
            while (t.rson[q] != NIL);
            t.rson[t.dad[q]] = t.lson[q];
            t.dad[t.lson[q]] = t.dad[q];
            t.lson[q] = t.lson[p];
            t.dad[t.lson[p]] = q;
        }
        t.rson[q] = t.rson[p];
        t.dad[t.rson[p]] = q;
    }
    t.dad[q] = t.dad[p];
    if (t.rson[t.dad[p]] == p) t.rson[t.dad[p]] = q;
    else t.lson[t.dad[p]] = q;
    t.dad[p] = NIL;
}

// ---- coder and decoder

// fresh tables, the Huffman tree at its start and the window before the text all spaces
TLZH::Tables& TLZH::NewTables()
{
    try {
        t_ = std::make_unique<Tables>();
    } catch (const std::bad_alloc&) {
        throw ElzhException("LZH : Cannot get memory for dictionary tables");
    }
    StartHuff();
    std::memset(t_->text_buf, ' ', N - F);
    return *t_;
}

int TLZH::LZHPack(int Size)
{
    Tables& t = NewTables();
    InitTree();
    int s = 0, r = N - F;
    int remaining = Size;  // bytes the caller asked for that are still unread
    auto next = [&]() -> int {
        if (remaining <= 0) return -1;
        const int c = ReadByte();
        if (c >= 0) remaining--;
        return c;
    };
    int len = 0, c;
    for (; len < F && (c = next()) >= 0; len++) t.text_buf[r + len] = uint8_t(c);
    t.textsize = len;
    for (int i = 1; i <= F; i++) InsertNode(r - i);
    InsertNode(r);
    do {
        if (t.match_length > len) t.match_length = len;
        if (t.match_length <= THRESHOLD) {
            t.match_length = 1;
            EncodeChar(t.text_buf[r]);
        } else {
            EncodeChar(unsigned(255 - THRESHOLD + t.match_length));
            EncodePosition(unsigned(t.match_position));
        }
        const int last_match_length = t.match_length;
        int i;
        for (i = 0; i < last_match_length && (c = next()) >= 0; i++) {
            DeleteNode(s);
            t.text_buf[s] = uint8_t(c);
            if (s < F - 1) t.text_buf[s + N] = uint8_t(c);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            InsertNode(r);
        }
        t.textsize += i;
        while (i++ < last_match_length) {
            DeleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len) InsertNode(r);
        }
    } while (len > 0);
    if (t.putlen) {
        WriteByte(uint8_t(t.putbuf >> 8));
        t.codesize++;
    }
    const int read = int(t.textsize);
    t_.reset();
    return read;
}

void TLZH::LZHUnpack(int64_t Size)
{
    Tables& t = NewTables();
    int r = N - F;
    int64_t count = 0;
    while (count < Size) {
        const int c = DecodeChar();
        if (c < 256) {
            if (OnToken) OnToken(c, 0, 0);
            WriteByte(uint8_t(c));
            t.text_buf[r++] = uint8_t(c);
            r &= N - 1;
            count++;
        } else {
            const int pos = DecodePosition();
            const int i = (r - pos - 1) & (N - 1);
            const int j = c - 255 + THRESHOLD;
            if (OnToken) OnToken(-1, j, pos + 1);
            // the stream's size ends the output, even inside a match
            for (int k = 0; k < j && count < Size; k++) {
                const uint8_t b = t.text_buf[(i + k) & (N - 1)];
                WriteByte(b);
                t.text_buf[r++] = b;
                r &= N - 1;
                count++;
            }
        }
    }
    t_.reset();
}
