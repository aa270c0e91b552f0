#include "platform/PrivateProfile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kSourceDir = CALORA_SOURCE_DIR;
const std::string kBinaryDir = CALORA_BINARY_DIR;
const std::string kSoftwareInfo = kSourceDir + "/dist/qxrfw.dat";
const std::string kLogo = kSourceDir + "/dist/vrn.dak";

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::uint32_t Le(const std::string& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    }
    return value;
}

} // namespace

TEST(SoftwareInfoFile, NamesTheProductItsMakerAndAddress) {
    EXPECT_EQ(PrivateProfile::ReadString(kSoftwareInfo, "SoftInf", "Name"), "Calora");
    EXPECT_FALSE(PrivateProfile::ReadString(kSoftwareInfo, "SoftInf", "Commpany").empty());
    EXPECT_TRUE(
        PrivateProfile::ReadString(kSoftwareInfo, "SoftInf", "web").starts_with("https://"));
}

TEST(LogoFile, IsAnUncompressed24BitBitmapThatFitsBesideTheValuePanel) {
    const std::string bmp = ReadBytes(kLogo);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_LT(bmp.size(), 60u * 1024u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Le(bmp, 2, 4), bmp.size()); // file size
    const std::uint32_t pixelOffset = Le(bmp, 10, 4);
    EXPECT_EQ(Le(bmp, 14, 4), 40u); // BITMAPINFOHEADER
    const auto width = static_cast<std::int32_t>(Le(bmp, 18, 4));
    const auto height = static_cast<std::int32_t>(Le(bmp, 22, 4));
    EXPECT_EQ(Le(bmp, 26, 2), 1u);  // planes
    EXPECT_EQ(Le(bmp, 28, 2), 24u); // bits per pixel
    EXPECT_EQ(Le(bmp, 30, 4), 0u);  // no compression
    // Room right of the value panel: about 130 x 40 dialog units.
    EXPECT_GT(width, 100);
    EXPECT_LE(width, 240);
    EXPECT_GT(height, 20);
    EXPECT_LE(height, 60);
    // Rows of three bytes a pixel, padded to four bytes, all present.
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    EXPECT_GE(pixelOffset, 54u);
    EXPECT_EQ(pixelOffset + stride * static_cast<std::size_t>(height), bmp.size());
}

TEST(LogoFile, IsNotBlank) {
    const std::string bmp = ReadBytes(kLogo);
    ASSERT_GE(bmp.size(), 54u);
    const std::string pixels = bmp.substr(Le(bmp, 10, 4));
    int differing = 0;
    for (std::size_t i = 3; i + 2 < pixels.size(); i += 3) {
        differing += pixels.compare(i, 3, pixels, 0, 3) != 0 ? 1 : 0;
    }
    EXPECT_GT(differing, 500);
}

TEST(ShippedFiles, AreCopiedBesideThePrograms) {
    for (const char* name : {"English.ini", "SimpleChinese.ini"}) {
        const std::string source = ReadBytes(kSourceDir + "/lang/" + name);
        ASSERT_FALSE(source.empty()) << name;
        EXPECT_EQ(ReadBytes(kBinaryDir + "/shell/" + name), source) << name;
        EXPECT_EQ(ReadBytes(kBinaryDir + "/cli/" + name), source) << name;
    }
    for (const char* name : {"qxrfw.dat", "vrn.dak"}) {
        EXPECT_EQ(ReadBytes(kBinaryDir + "/shell/" + name), ReadBytes(kSourceDir + "/dist/" + name))
            << name;
    }
}
