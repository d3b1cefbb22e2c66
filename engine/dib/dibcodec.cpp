#include "engine/dib/dibcodec.h"

#include <vector>

#include <QByteArray>
#include <QIODevice>

#include "engine/dib/dib_error.h"

const char* const DIBCorruptMessage = "Corrupted CompressedDIB data !";

namespace {

constexpr uint8_t kEscape = 0xFF;

// reads a device a block at a time
class Input {
public:
    explicit Input(QIODevice& d) : dev_(d) {}
    // -1 at the end of input
    int get()
    {
        if (pos_ == len_) {
            len_ = int(dev_.read(buf_, sizeof buf_));
            pos_ = 0;
            if (len_ <= 0) {
                len_ = 0;
                return -1;
            }
        }
        return uint8_t(buf_[pos_++]);
    }
    // gives the device back the bytes read ahead
    void release()
    {
        if (pos_ < len_) dev_.seek(dev_.pos() - (len_ - pos_));
        pos_ = len_ = 0;
    }

private:
    QIODevice& dev_;
    char buf_[4096];
    int pos_ = 0, len_ = 0;
};

}  // namespace

void RLECompress(const uint8_t* Source, int Size, QIODevice& Dest)
{
    QByteArray out;
    out.reserve(Size + Size / 32 + 8);
    int count = 10;  // bytes written since the last run code; 10: the first run needs an escape
    qsizetype lastCode = -1;
    int lastN = 0;
    auto encode = [&](uint8_t p, int n) {
        if (n == 1) {
            out.append(char(p));
            if (p == kEscape && count > 2) out.append(char(kEscape));
            count += 1;
        } else if (n == 2 && p != kEscape) {
            out.append(char(p)).append(char(p));
            count += 2;
        } else {
            // up to two literals ride in the previous run code; more need an escape
            if (count < 3) out[lastCode] = char(lastN | count << 6);
            else out.append(char(kEscape));
            lastCode = out.size();
            lastN = n;
            out.append(char(n | 0xC0)).append(char(p));
            count = 0;
        }
    };
    for (int i = 0; i < Size;) {
        const uint8_t p = Source[i];
        int n = 1;
        while (i + n < Size - 2 && Source[i + n] == p && n <= 60) ++n;
        encode(p, n);
        i += n;
    }
    if (count < 3) out[lastCode] = char(lastN | count << 6);
    else out.append(char(kEscape));
    out.append(char(0));
    Dest.write(out);
}

int RLEDecompress(QIODevice& Source, int Size, uint8_t* Dest)
{
    Input in(Source);
    int w = 0;
    auto next = [&] {
        const int b = in.get();
        if (b < 0) throw DIB_ERROR(DIBCorruptMessage);
        return uint8_t(b);
    };
    auto put = [&](uint8_t v, int n) {
        if (n > Size - w) throw DIB_ERROR(DIBCorruptMessage);
        for (int i = 0; i < n; ++i) Dest[w++] = v;
    };
    for (;;) {
        const uint8_t b = next();
        if (b != kEscape) {
            put(b, 1);
            continue;
        }
        uint8_t c = next();
        if (c == kEscape) {
            put(kEscape, 1);
            continue;
        }
        for (;;) {  // run codes, chained by their literal counts
            const int n = c & 63, k = c >> 6;
            if (n == 0) {
                in.release();
                return w;
            }
            put(next(), n);
            for (int i = 0; i < k; ++i) put(next(), 1);
            if (k == 3) break;
            c = next();
        }
    }
}

void INCFilter(uint8_t* Data, int Width, int Height, bool Encode, QIODevice& Stream)
{
    constexpr int kPiece = 1024;
    const int64_t stride = (int64_t(Width) * 3 + 3) & ~int64_t(3);
    std::vector<uint8_t> piece(size_t(std::min(Width, kPiece)) * 3);
    for (int r = 0; r < Height; ++r) {
        uint8_t* row = Data + r * stride;
        uint8_t prev[3] = {0, 0, 0};
        for (int x0 = 0; x0 < Width; x0 += kPiece) {
            const int n = std::min(kPiece, Width - x0) * 3;
            uint8_t* px = row + int64_t(x0) * 3;
            if (Encode) {
                for (int i = 0; i < n; ++i) {
                    piece[i] = uint8_t(px[i] - prev[i % 3]);
                    prev[i % 3] = px[i];
                }
                Stream.write(reinterpret_cast<const char*>(piece.data()), n);
            } else {
                if (Stream.read(reinterpret_cast<char*>(piece.data()), n) != n) throw DIB_ERROR(DIBCorruptMessage);
                for (int i = 0; i < n; ++i) px[i] = prev[i % 3] = uint8_t(prev[i % 3] + piece[i]);
            }
        }
    }
}
