#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/edition.h"
#include "files_fixture.h"

namespace orvanta::testing {
namespace {

using Records = FilesTest;
using DocumentName = FilesTest;
using StampWords = FilesTest;

FileHeader distinctHeader() {
    FileHeader h;
    h.version = 2;
    h.personalNumber = -123456789;
    h.saveTime = 1'700'000'123;
    for (std::int32_t i = 0; i < 4; ++i) h.stampWords[i] = 0x01020304 * (i + 1);
    h.gridWidth = 41;
    h.gridHeight = 10000;
    h.cityCount = 17;
    h.solved = 1;
    h.spectrum.count = 20;
    h.spectrum.reserved = -2;
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        h.spectrum.lengths[i] = 1.0 + i / 3.0;
        h.spectrum.counts[i] = 1000 * i - 7;
    }
    return h;
}

void expectHeaderAtItsOffsets(const std::vector<unsigned char>& b, const FileHeader& h) {
    EXPECT_EQ(intAt(b, 0), h.version);
    EXPECT_EQ(intAt(b, 4), h.personalNumber);
    EXPECT_EQ(intAt(b, 8), h.saveTime);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(intAt(b, 12 + 4 * i), h.stampWords[i]);
    EXPECT_EQ(intAt(b, 28), h.gridWidth);
    EXPECT_EQ(intAt(b, 32), h.gridHeight);
    EXPECT_EQ(intAt(b, 36), h.cityCount);
    EXPECT_EQ(intAt(b, 40), h.solved);
    EXPECT_EQ(intAt(b, 44), h.spectrum.count);
    EXPECT_EQ(intAt(b, 48), h.spectrum.reserved);
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(doubleAt(b, 52 + 8 * i), h.spectrum.lengths[i]);
        EXPECT_EQ(intAt(b, 212 + 4 * i), h.spectrum.counts[i]);
    }
}

TEST_F(Records, MapRecordPutsEveryFieldAtItsOffsetAndReadsItBack) {
    MapFile r;
    r.header = distinctHeader();
    for (std::int32_t i = 0; i < kMaxCities; ++i) r.cities[i] = City{i * 3 - 5, 9999 - i};
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) r.solutionRoute[i] = 18 - i;

    std::vector<unsigned char> b(kMapFileBytes, 0xAA);
    encodeMapFile(r, b.data());
    expectHeaderAtItsOffsets(b, r.header);
    for (std::size_t i = 0; i < 18; ++i) {
        EXPECT_EQ(intAt(b, 292 + 8 * i), r.cities[i].x);
        EXPECT_EQ(intAt(b, 296 + 8 * i), r.cities[i].y);
    }
    for (std::size_t i = 0; i < 19; ++i) EXPECT_EQ(intAt(b, 436 + 4 * i), r.solutionRoute[i]);
    EXPECT_EQ(436 + 76, kMapFileBytes);

    const MapFile back = decodeMapFile(b.data());
    std::vector<unsigned char> again(kMapFileBytes);
    encodeMapFile(back, again.data());
    EXPECT_EQ(b, again);
    EXPECT_EQ(back.cities[0].x, -5);
    EXPECT_EQ(back.header.personalNumber, -123456789);
}

TEST_F(Records, GameRecordPutsEveryFieldAtItsOffsetAndReadsItBack) {
    GameFile r;
    r.header = distinctHeader();
    r.elapsedSeconds = 40;
    r.gameFinished = 1;
    r.playerRouteLength = 7;
    for (std::int32_t i = 0; i < kMaxCities; ++i) r.cities[i] = City{i, -i};
    for (std::int32_t i = 0; i < kRouteCapacity; ++i) {
        r.solutionRoute[i] = i;
        r.playerRoute[i] = 100 + i;
    }

    std::vector<unsigned char> b(kGameFileBytes, 0x55);
    encodeGameFile(r, b.data());
    expectHeaderAtItsOffsets(b, r.header);
    EXPECT_EQ(intAt(b, 292), 40);
    EXPECT_EQ(intAt(b, 296), 1);
    EXPECT_EQ(intAt(b, 300), 7);
    for (std::size_t i = 0; i < 18; ++i) {
        EXPECT_EQ(intAt(b, 304 + 8 * i), r.cities[i].x);
        EXPECT_EQ(intAt(b, 308 + 8 * i), r.cities[i].y);
    }
    for (std::size_t i = 0; i < 19; ++i) {
        EXPECT_EQ(intAt(b, 448 + 4 * i), r.solutionRoute[i]);
        EXPECT_EQ(intAt(b, 524 + 4 * i), r.playerRoute[i]);
    }
    EXPECT_EQ(524 + 76, kGameFileBytes);

    const GameFile back = decodeGameFile(b.data());
    std::vector<unsigned char> again(kGameFileBytes);
    encodeGameFile(back, again.data());
    EXPECT_EQ(b, again);
}

TEST_F(Records, DoublesKeepTheirExactBitsIncludingNonFiniteOnes) {
    FileHeader h = distinctHeader();
    h.spectrum.lengths[0] = std::numeric_limits<double>::quiet_NaN();
    h.spectrum.lengths[1] = -std::numeric_limits<double>::infinity();
    h.spectrum.lengths[2] = std::numeric_limits<double>::denorm_min();
    h.spectrum.lengths[3] = -0.0;
    h.spectrum.lengths[5] = 1.5;
    std::vector<unsigned char> b(kHeaderBytes);
    encodeHeader(h, b.data());
    // 1.5 in IEEE 754, little-endian.
    const std::vector<unsigned char> expected = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    EXPECT_EQ(std::vector<unsigned char>(b.begin() + 52 + 40, b.begin() + 52 + 48), expected);
    const FileHeader back = decodeHeader(b.data());
    EXPECT_EQ(0, std::memcmp(&back.spectrum, &h.spectrum, sizeof(PathSpectrum)));
    EXPECT_TRUE(std::signbit(back.spectrum.lengths[3]));
}

TEST_F(DocumentName, KeepsTheDirectoryAndCutsAtTheLastDot) {
    EXPECT_STREQ(document.name, "untitled");
    setDocumentName("C:\\Games\\tour.rva", kDocumentNameCapacity);
    EXPECT_STREQ(document.name, "C:\\Games\\tour");
    setDocumentName("C:\\My.Maps\\tour", kDocumentNameCapacity);
    EXPECT_STREQ(document.name, "C:\\My");
    setDocumentName("/home/u/maps/a.b.rvb", kDocumentNameCapacity);
    EXPECT_STREQ(document.name, "/home/u/maps/a.b");

    // At most 255 characters are kept, before the cut at the dot.
    const std::string longPath = std::string(300, 'd');
    setDocumentName(longPath.c_str(), kDocumentNameCapacity);
    EXPECT_EQ(std::string(document.name), std::string(255, 'd'));
    const std::string dotLate = std::string(250, 'e') + ".x" + std::string(40, 'f');
    setDocumentName(dotLate.c_str(), kDocumentNameCapacity);
    EXPECT_EQ(std::string(document.name), std::string(250, 'e'));
    // A capacity above the buffer's cannot make it overflow.
    setDocumentName(longPath.c_str(), 100000);
    EXPECT_EQ(std::string(document.name).size(), 255u);
}

TEST_F(DocumentName, ProposedNameKeepsTheExtensionWholeWhenTheNameIsLong) {
    char out[kDocumentNameCapacity];
    std::strcpy(document.name, "untitled");
    composeDefaultName(out, kDocumentNameCapacity, "rva");
    EXPECT_STREQ(out, "untitled.rva");

    // 251 + ".rva" is exactly 255 characters: proposed unchanged.
    std::strcpy(document.name, std::string(251, 'n').c_str());
    composeDefaultName(out, kDocumentNameCapacity, "rvb");
    EXPECT_EQ(std::string(out), std::string(251, 'n') + ".rvb");

    // One more and the name gives way, never the extension.
    std::strcpy(document.name, std::string(255, 'n').c_str());
    composeDefaultName(out, kDocumentNameCapacity, "rva");
    EXPECT_EQ(std::string(out), std::string(251, 'n') + ".rva");

    char tiny[4];
    composeDefaultName(tiny, 4, "rva");
    EXPECT_STREQ(tiny, "");
}

TEST_F(StampWords, EditionDecidesWhetherTheyAreFixed) {
    setEditionStampWords();
    if (isProfi()) {
        const bool anySet = document.stampWords[0] != 0 || document.stampWords[1] != 0 || document.stampWords[2] != 0 || document.stampWords[3] != 0;
        EXPECT_TRUE(anySet);
    } else {
        for (std::int32_t w : document.stampWords) EXPECT_EQ(w, 0);
    }
}

}  // namespace
}  // namespace orvanta::testing
