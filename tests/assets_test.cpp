// Checks the binary assets that are committed and embedded in the program:
// the flow-sheet picture (diagram.jpg) and the Windows icon (calvetra.ico).
// Both are made by scripts in assets/; these tests catch a regenerated file
// that Qt's JPEG reader or the Windows resource compiler would mishandle.
//
// CALVETRA_ASSETS_DIR must be defined as a string literal naming the assets
// folder, e.g. -DCALVETRA_ASSETS_DIR="/path/to/assets".

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#ifndef CALVETRA_ASSETS_DIR
#error "CALVETRA_ASSETS_DIR must name the assets folder"
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::string& name)
{
    const std::string path = std::string(CALVETRA_ASSETS_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot open " << path;
        return {};
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t be16(const Bytes& b, std::size_t at) { return (b.at(at) << 8) | b.at(at + 1); }

std::uint32_t le16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }

std::uint32_t le32(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b.at(at)) | (static_cast<std::uint32_t>(b.at(at + 1)) << 8) |
           (static_cast<std::uint32_t>(b.at(at + 2)) << 16) | (static_cast<std::uint32_t>(b.at(at + 3)) << 24);
}

std::int32_t le32s(const Bytes& b, std::size_t at) { return static_cast<std::int32_t>(le32(b, at)); }

// One marker segment of a JPEG file.
struct Segment {
    std::uint8_t marker;
    std::size_t payload;  // offset of the first byte after the length field
    std::size_t length;   // payload length (length field minus 2)
};

// Walks every marker of a JPEG file, entropy-coded data included, up to EOI.
std::vector<Segment> jpegSegments(const Bytes& b)
{
    std::vector<Segment> out;
    std::size_t i = 2;  // after SOI
    while (i + 1 < b.size()) {
        if (b[i] != 0xFF) {
            ADD_FAILURE() << "expected a marker at offset " << i;
            return out;
        }
        std::uint8_t m = b[i + 1];
        if (m == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (m == 0xD9) {  // EOI
            out.push_back({m, i + 2, 0});
            return out;
        }
        const std::size_t len = be16(b, i + 2);
        if (len < 2 || i + 2 + len > b.size()) {
            ADD_FAILURE() << "bad segment length at offset " << i;
            return out;
        }
        out.push_back({m, i + 4, len - 2});
        i += 2 + len;
        if (m == 0xDA) {  // SOS: skip entropy-coded data to the next real marker
            while (i + 1 < b.size()) {
                if (b[i] == 0xFF && b[i + 1] != 0x00 && !(b[i + 1] >= 0xD0 && b[i + 1] <= 0xD7))
                    break;
                ++i;
            }
        }
    }
    ADD_FAILURE() << "no EOI marker";
    return out;
}

}  // namespace

TEST(DiagramJpeg, StartsWithJfifHeaderAt96Dpi)
{
    const Bytes b = readFile("diagram.jpg");
    ASSERT_GE(b.size(), 20u);
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(b[1], 0xD8) << "no SOI";
    ASSERT_EQ(b[2], 0xFF);
    ASSERT_EQ(b[3], 0xE0) << "first segment is not APP0";
    ASSERT_GE(be16(b, 4), 16u);
    EXPECT_EQ(std::string(b.begin() + 6, b.begin() + 11), std::string("JFIF\0", 5));
    EXPECT_EQ(b[13], 1) << "density units must be dots per inch";
    EXPECT_EQ(be16(b, 14), 96u) << "horizontal density";
    EXPECT_EQ(be16(b, 16), 96u) << "vertical density";
}

TEST(DiagramJpeg, IsBaseline530x365ColourWithEightBits)
{
    const Bytes b = readFile("diagram.jpg");
    ASSERT_GE(b.size(), 4u);
    const auto segments = jpegSegments(b);
    ASSERT_FALSE(segments.empty());
    EXPECT_EQ(segments.back().marker, 0xD9) << "file does not end its markers with EOI";

    int sof0 = 0;
    int sos = 0;
    for (const Segment& s : segments) {
        EXPECT_NE(s.marker, 0xC2) << "progressive JPEG (SOF2) found";
        if (s.marker == 0xDA)
            ++sos;
        if (s.marker != 0xC0)
            continue;
        ++sof0;
        ASSERT_GE(s.length, 6u);
        EXPECT_EQ(b[s.payload], 8) << "sample precision";
        EXPECT_EQ(be16(b, s.payload + 1), 365u) << "height";
        EXPECT_EQ(be16(b, s.payload + 3), 530u) << "width";
        EXPECT_EQ(b[s.payload + 5], 3) << "number of components";
    }
    EXPECT_EQ(sof0, 1) << "expected exactly one baseline SOF0 frame";
    EXPECT_GE(sos, 1) << "no scan (SOS) in the file";
}

TEST(AppIcon, DirectoryListsFifteenUncompressedDibs)
{
    const Bytes b = readFile("calvetra.ico");
    ASSERT_GE(b.size(), 6u);
    EXPECT_EQ(le16(b, 0), 0u) << "reserved";
    EXPECT_EQ(le16(b, 2), 1u) << "type must be 1 (icon)";
    const std::uint32_t count = le16(b, 4);
    ASSERT_EQ(count, 15u);
    ASSERT_GE(b.size(), 6u + 16u * count);

    std::set<std::pair<std::uint32_t, std::uint32_t>> found;  // (size, bit count)
    for (std::uint32_t i = 0; i < count; ++i) {
        SCOPED_TRACE("icon entry " + std::to_string(i));
        const std::size_t e = 6 + 16 * i;
        const std::uint32_t w = b[e] == 0 ? 256u : b[e];
        const std::uint32_t h = b[e + 1] == 0 ? 256u : b[e + 1];
        const std::uint32_t bytes = le32(b, e + 8);
        const std::uint32_t offset = le32(b, e + 12);
        EXPECT_EQ(w, h);
        ASSERT_LE(static_cast<std::uint64_t>(offset) + bytes, b.size()) << "image lies outside the file";
        ASSERT_GE(bytes, 40u);

        // BITMAPINFOHEADER of the image
        EXPECT_EQ(le32(b, offset), 40u) << "biSize";
        EXPECT_EQ(le32s(b, offset + 4), static_cast<std::int32_t>(w)) << "biWidth";
        EXPECT_EQ(le32s(b, offset + 8), static_cast<std::int32_t>(2 * w)) << "biHeight (image + mask)";
        EXPECT_EQ(le16(b, offset + 12), 1u) << "biPlanes";
        const std::uint32_t bpp = le16(b, offset + 14);
        EXPECT_TRUE(bpp == 4 || bpp == 24 || bpp == 32) << "biBitCount " << bpp;
        EXPECT_EQ(le32(b, offset + 16), 0u) << "biCompression must be BI_RGB";
        EXPECT_EQ(le16(b, e + 6), bpp) << "directory bit count disagrees with the DIB";

        found.insert({w, bpp});
    }

    std::set<std::pair<std::uint32_t, std::uint32_t>> expected;
    for (std::uint32_t size : {16u, 32u, 48u, 64u, 256u})
        for (std::uint32_t bpp : {4u, 24u, 32u})
            expected.insert({size, bpp});
    EXPECT_EQ(found, expected) << "each of 16/32/48/64/256 px must appear once in 4, 24 and 32 bits";
}

TEST(AppIcon, EachImageSizeMatchesItsRowLayout)
{
    const Bytes b = readFile("calvetra.ico");
    ASSERT_GE(b.size(), 6u);
    const std::uint32_t count = le16(b, 4);
    ASSERT_GE(b.size(), 6u + 16u * count);

    const auto rowBytes = [](std::uint32_t width, std::uint32_t bpp) { return ((width * bpp + 31) / 32) * 4; };

    std::uint64_t covered = 6 + 16 * count;
    for (std::uint32_t i = 0; i < count; ++i) {
        SCOPED_TRACE("icon entry " + std::to_string(i));
        const std::size_t e = 6 + 16 * i;
        const std::uint32_t bytes = le32(b, e + 8);
        const std::uint32_t offset = le32(b, e + 12);
        ASSERT_LE(static_cast<std::uint64_t>(offset) + 40, b.size());
        ASSERT_EQ(le32(b, offset), 40u) << "not a BITMAPINFOHEADER (PNG-compressed entry?)";
        const std::uint32_t size = le32(b, offset + 4);
        const std::uint32_t bpp = le16(b, offset + 14);
        const std::uint32_t palette = bpp == 4 ? 16 * 4 : 0;
        const std::uint64_t expected = 40u + palette +
                                       static_cast<std::uint64_t>(rowBytes(size, bpp)) * size   // colour bitmap
                                       + static_cast<std::uint64_t>(rowBytes(size, 1)) * size;  // AND mask
        EXPECT_EQ(bytes, expected) << size << " px, " << bpp << " bit";
        if (bpp == 4) {
            EXPECT_EQ(b.at(e + 2), 16) << "directory colour count for a 16-colour image";
        }
        covered += bytes;
    }
    EXPECT_EQ(covered, b.size()) << "the images do not account for the whole file";
}
