#include "files/map_code.h"

#include <algorithm>

#include "core/catalogue.h"
#include "core/text1251.h"
#include "files/board_records.h"
#include "files/current_document.h"
#include "files/records.h"

namespace orvanta {

namespace {

// The code's layout, most significant bit first: the version (3 bits), the
// grid (2 bits: 11, 41, 10000 or one given by its sides, 14 bits each, less 2),
// the city count (5 bits), the cities as one number in the base of the grid's
// point count (city 0 the most significant digit), zeros up to a whole
// character, and a CRC-16 of everything before it. A CRC of 16 bits finds
// every burst of up to 16 wrong bits, so every mistyped character (5 bits)
// is found; a cut or an added character changes the length the header asks for.
constexpr std::uint32_t kCodeVersion = 1;
constexpr std::int32_t kVersionBits = 3;
constexpr std::int32_t kGridKindBits = 2;
constexpr std::int32_t kSideBits = 14;
constexpr std::int32_t kCountBits = 5;
constexpr std::int32_t kCheckBits = 16;
constexpr std::int32_t kBitsPerCharacter = 5;
constexpr std::int32_t kStandardSides[] = {11, 41, 10000};
constexpr std::uint32_t kGivenGrid = 3;
constexpr std::int32_t kLargestSide = 10000;

// Letters and digits that cannot be mistaken for one another when read aloud
// or written by hand; O, I and L are read as the digits they look like.
constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";

std::int32_t symbolOf(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == 'O') c = '0';
    if (c == 'I' || c == 'L') c = '1';
    for (std::int32_t i = 0; i < 32; ++i)
        if (kAlphabet[i] == c) return i;
    return -1;
}

// A non-negative number of any size, 32 bits a limb, lowest first.
using Number = std::vector<std::uint32_t>;

void multiplyAdd(Number& n, std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& limb : n) {
        const std::uint64_t t = static_cast<std::uint64_t>(limb) * factor + carry;
        limb = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    if (carry != 0) n.push_back(static_cast<std::uint32_t>(carry));
}

std::uint32_t divideBy(Number& n, std::uint32_t divisor) {
    std::uint64_t remainder = 0;
    for (std::size_t i = n.size(); i-- > 0;) {
        const std::uint64_t t = (remainder << 32) | n[i];
        n[i] = static_cast<std::uint32_t>(t / divisor);
        remainder = t % divisor;
    }
    while (!n.empty() && n.back() == 0) n.pop_back();
    return static_cast<std::uint32_t>(remainder);
}

bool isZero(const Number& n) {
    return std::all_of(n.begin(), n.end(), [](std::uint32_t limb) { return limb == 0; });
}

bool bitOf(const Number& n, std::int32_t i) {
    const std::size_t limb = static_cast<std::size_t>(i) / 32;
    return limb < n.size() && ((n[limb] >> (i % 32)) & 1u) != 0;
}

void setBit(Number& n, std::int32_t i) {
    const std::size_t limb = static_cast<std::size_t>(i) / 32;
    if (n.size() <= limb) n.resize(limb + 1, 0);
    n[limb] |= 1u << (i % 32);
}

// Bits that hold any `count` cities of a grid of `points` points.
std::int32_t cityBits(std::uint32_t points, std::int32_t count) {
    Number largest{0};
    for (std::int32_t i = 0; i < count; ++i) multiplyAdd(largest, points, points - 1);
    while (!largest.empty() && largest.back() == 0) largest.pop_back();
    if (largest.empty()) return 0;
    std::int32_t bits = static_cast<std::int32_t>(largest.size() - 1) * 32;
    for (std::uint32_t top = largest.back(); top != 0; top >>= 1) ++bits;
    return bits;
}

using Bits = std::vector<bool>;

void put(Bits& bits, std::uint32_t value, std::int32_t width) {
    for (std::int32_t i = width - 1; i >= 0; --i) bits.push_back(((value >> i) & 1u) != 0);
}

std::uint32_t take(const Bits& bits, std::size_t& at, std::int32_t width) {
    std::uint32_t value = 0;
    for (std::int32_t i = 0; i < width; ++i) value = (value << 1) | (bits[at++] ? 1u : 0u);
    return value;
}

// CRC-16 with the polynomial x^16 + x^12 + x^5 + 1, over single bits.
std::uint32_t checkOf(const Bits& bits, std::size_t count) {
    std::uint32_t crc = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        const bool top = ((crc >> 15) & 1u) != (bits[i] ? 1u : 0u);
        crc = (crc << 1) & 0xFFFF;
        if (top) crc ^= 0x1021;
    }
    return crc;
}

std::size_t paddedLength(std::size_t contentBits) {
    std::size_t total = contentBits + kCheckBits;
    while (total % kBitsPerCharacter != 0) ++total;
    return total;
}

// The characters of the code in `text`: the part after the last '#' of a link,
// spaces, line breaks and '-' skipped. Symbols, or a status that ends decoding.
MapCodeStatus symbolsOf(std::string_view text, std::vector<std::int32_t>& symbols) {
    const std::size_t hash = text.rfind('#');
    const bool link = hash != std::string_view::npos;
    if (link) text = text.substr(hash + 1);
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '-') continue;
        const std::int32_t symbol = symbolOf(c);
        if (symbol < 0) return MapCodeStatus::NotACode;
        symbols.push_back(symbol);
    }
    if (symbols.empty()) return link ? MapCodeStatus::NoCodeInLink : MapCodeStatus::Empty;
    return MapCodeStatus::Ok;
}

constexpr auto kEmpty = RU("Код карты не введён.");
constexpr auto kNoCodeInLink = RU("В ссылке нет кода карты после знака #.");
constexpr auto kNotACode = RU("Это не код карты: в нём есть знаки, которых в кодах карт не бывает.");
constexpr auto kDamaged = RU("Код карты искажён или обрезан: проверьте, что он передан целиком и без опечаток.");
constexpr auto kNewerVersion = RU("Этот код карты сделан более новой версией программы.");
constexpr auto kTooManyCities = RU("В коде карты больше городов, чем помещается на её сетке.");

}  // namespace

std::string encodeMapCode(const MapCodeContent& content) {
    Bits bits;
    put(bits, kCodeVersion, kVersionBits);
    std::uint32_t kind = kGivenGrid;
    for (std::uint32_t k = 0; k < kGivenGrid; ++k)
        if (content.width == kStandardSides[k] && content.height == kStandardSides[k]) kind = k;
    put(bits, kind, kGridKindBits);
    if (kind == kGivenGrid) {
        put(bits, static_cast<std::uint32_t>(content.width - 2), kSideBits);
        put(bits, static_cast<std::uint32_t>(content.height - 2), kSideBits);
    }
    const std::int32_t count = static_cast<std::int32_t>(content.cities.size());
    put(bits, static_cast<std::uint32_t>(count), kCountBits);
    const std::uint32_t points = static_cast<std::uint32_t>(content.width) * static_cast<std::uint32_t>(content.height);
    Number value{0};
    for (const City& c : content.cities)
        multiplyAdd(value, points, static_cast<std::uint32_t>(c.y) * static_cast<std::uint32_t>(content.width) + static_cast<std::uint32_t>(c.x));
    for (std::int32_t i = cityBits(points, count) - 1; i >= 0; --i) bits.push_back(bitOf(value, i));
    const std::size_t total = paddedLength(bits.size());
    while (bits.size() + kCheckBits < total) bits.push_back(false);
    put(bits, checkOf(bits, bits.size()), kCheckBits);

    std::string code;
    std::size_t at = 0;
    while (at < bits.size()) code.push_back(kAlphabet[take(bits, at, kBitsPerCharacter)]);
    return code;
}

MapCodeStatus decodeMapCode(std::string_view text, MapCodeContent& out) {
    std::vector<std::int32_t> symbols;
    const MapCodeStatus read = symbolsOf(text, symbols);
    if (read != MapCodeStatus::Ok) return read;
    Bits bits;
    for (const std::int32_t s : symbols) put(bits, static_cast<std::uint32_t>(s), kBitsPerCharacter);

    std::size_t at = 0;
    const std::uint32_t version = take(bits, at, kVersionBits);
    if (version > kCodeVersion) return MapCodeStatus::NewerVersion;
    if (version != kCodeVersion) return MapCodeStatus::Damaged;
    const std::uint32_t kind = take(bits, at, kGridKindBits);
    std::int32_t width = 0, height = 0;
    if (kind == kGivenGrid) {
        if (bits.size() < at + 2 * kSideBits + kCountBits) return MapCodeStatus::Damaged;
        width = static_cast<std::int32_t>(take(bits, at, kSideBits)) + 2;
        height = static_cast<std::int32_t>(take(bits, at, kSideBits)) + 2;
    } else {
        if (bits.size() < at + kCountBits) return MapCodeStatus::Damaged;
        width = height = kStandardSides[kind];
    }
    const std::int32_t count = static_cast<std::int32_t>(take(bits, at, kCountBits));
    const std::uint32_t points = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
    const std::int32_t valueBits = cityBits(points, count);
    const std::size_t contentBits = at + static_cast<std::size_t>(valueBits);
    if (bits.size() != paddedLength(contentBits)) return MapCodeStatus::Damaged;
    std::size_t checkAt = bits.size() - kCheckBits;
    if (take(bits, checkAt, kCheckBits) != checkOf(bits, bits.size() - kCheckBits)) return MapCodeStatus::Damaged;
    // Only a code made on purpose gets past the check with these.
    if (width > kLargestSide || height > kLargestSide) return MapCodeStatus::NotACode;
    if (count > kMaxCities || static_cast<std::uint32_t>(count) > points) return MapCodeStatus::TooManyCities;

    Number value;
    for (std::int32_t i = valueBits - 1; i >= 0; --i)
        if (bits[at + static_cast<std::size_t>(valueBits - 1 - i)]) setBit(value, i);
    std::vector<City> cities(static_cast<std::size_t>(count));
    for (std::int32_t i = count - 1; i >= 0; --i) {
        const std::uint32_t point = divideBy(value, points);
        cities[static_cast<std::size_t>(i)] = City{static_cast<std::int32_t>(point % static_cast<std::uint32_t>(width)),
                                                    static_cast<std::int32_t>(point / static_cast<std::uint32_t>(width))};
    }
    if (!isZero(value)) return MapCodeStatus::Damaged;
    for (std::size_t i = at + static_cast<std::size_t>(valueBits); i < bits.size() - kCheckBits; ++i)
        if (bits[i]) return MapCodeStatus::Damaged;
    out = MapCodeContent{width, height, std::move(cities)};
    return MapCodeStatus::Ok;
}

const char* mapCodeMessage(MapCodeStatus status) {
    switch (status) {
        case MapCodeStatus::Ok: return "";
        case MapCodeStatus::Empty: return ::orvanta::text::tr(kEmpty);
        case MapCodeStatus::NoCodeInLink: return ::orvanta::text::tr(kNoCodeInLink);
        case MapCodeStatus::NotACode: return ::orvanta::text::tr(kNotACode);
        case MapCodeStatus::Damaged: return ::orvanta::text::tr(kDamaged);
        case MapCodeStatus::NewerVersion: return ::orvanta::text::tr(kNewerVersion);
        case MapCodeStatus::TooManyCities: return ::orvanta::text::tr(kTooManyCities);
    }
    return ::orvanta::text::tr(kDamaged);
}

std::string mapCodeOfBoard(const Board& board) {
    MapCodeContent content;
    content.width = std::clamp(board.gridWidth, 2, kLargestSide);
    content.height = std::clamp(board.gridHeight, 2, kLargestSide);
    const std::int32_t count = std::clamp(board.cityCount, 0, kMaxCities);
    for (std::int32_t i = 0; i < count; ++i)
        content.cities.push_back(City{std::clamp(board.cities[i].x, 0, content.width - 1),
                                      std::clamp(board.cities[i].y, 0, content.height - 1)});
    return encodeMapCode(content);
}

MapCodeStatus openMapCode(Board& board, std::string_view text) {
    MapCodeContent content;
    const MapCodeStatus status = decodeMapCode(text, content);
    if (status != MapCodeStatus::Ok) return status;
    // Through the map record, so that a code opens exactly as a map file does;
    // the stamp words are the current ones, which the code does not carry.
    MapFile record;
    for (std::int32_t i = 0; i < kStampWordCount; ++i) record.header.stampWords[i] = document.stampWords[i];
    record.header.personalNumber = document.personalNumber;
    record.header.gridWidth = content.width;
    record.header.gridHeight = content.height;
    record.header.cityCount = static_cast<std::int32_t>(content.cities.size());
    for (std::size_t i = 0; i < content.cities.size(); ++i) record.cities[i] = content.cities[i];
    installMapFile(board, record);
    return MapCodeStatus::Ok;
}

}  // namespace orvanta
