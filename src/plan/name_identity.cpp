// The name identity of the game's files; see name_identity.h. The table is Windows' code page 932
// conversion and NTFS's upper-casing for every code of the code page, written out as ranges.
#include "name_identity.h"

#include <cstring>

#include "setuplist/text.h"

namespace {

// Second bytes run 0x40-0x7E and 0x80-0xFC: 188 codes a lead byte.
constexpr unsigned kRowCodes = 188;

unsigned index_in_rows(unsigned code, unsigned first_lead) {
  unsigned trail = code & 0xFF;
  return ((code >> 8) - first_lead) * kRowCodes + trail - (trail < 0x7F ? 0x40 : 0x41);
}

unsigned code_at(unsigned index, unsigned first_lead) {
  unsigned trail = index % kRowCodes;
  return ((first_lead + index / kRowCodes) << 8) | (trail + (trail < 0x3F ? 0x40 : 0x41));
}

constexpr unsigned kSmallRomanOne = 0xFA40;  // ⅰ in the IBM rows
constexpr unsigned kRomanOne = 0x8754;       // Ⅰ in the NEC row, which the round trip keeps
constexpr unsigned kNot = 0x81CA;            // ￢
constexpr unsigned kIbmKanji = 0xFA5C;       // the first of the IBM rows' 360 kanji

// The NEC row's mathematical signs that the JIS rows hold too, and the round trip's choice.
struct Twin {
  unsigned code;
  unsigned kept;
};
constexpr Twin kNecTwins[] = {
    {0x8790, 0x81E0}, {0x8791, 0x81DF}, {0x8792, 0x81E7}, {0x8795, 0x81E3}, {0x8796, 0x81DB},
    {0x8797, 0x81DA}, {0x879A, 0x81E6}, {0x879B, 0x81BF}, {0x879C, 0x81BE}, {0xFA54, kNot},
    {0xFA58, 0x878A}, {0xFA59, 0x8782}, {0xFA5A, 0x8784}, {0xFA5B, 0x81E6}, {0xEEF9, kNot}};

// The round trip: a character of two codes keeps the one Windows converts it back to.
unsigned round_trip(unsigned code) {
  for (const Twin& twin : kNecTwins) {
    if (twin.code == code) return twin.kept;
  }
  if (code >= 0xED40 && code <= 0xEEEC) {  // the NEC-selected IBM kanji: the IBM rows' code
    return code_at(index_in_rows(code, 0xED) + index_in_rows(kIbmKanji, 0xFA), 0xFA);
  }
  if (code >= 0xEEEF && code <= 0xEEF8) return kSmallRomanOne + (code - 0xEEEF);
  if (code >= 0xEEFA && code <= 0xEEFC) return 0xFA55 + (code - 0xEEFA);  // ￤ ＇ ＂
  if (code >= 0xFA4A && code <= 0xFA53) return kRomanOne + (code - 0xFA4A);
  return code;
}

unsigned upper_case(unsigned code) {
  unsigned trail = code & 0xFF;
  switch (code >> 8) {
    case 0x00:
      return code >= 'a' && code <= 'z' ? code - 0x20 : code;
    case 0x82:  // full-width ａ-ｚ
      return trail >= 0x81 && trail <= 0x9A ? code - 0x21 : code;
    case 0x83:  // α-ω
      return trail >= 0xBF && trail <= 0xD6 ? code - 0x20 : code;
    case 0x84:  // а-я, around the unused second byte 0x7F
      if (trail < 0x70 || trail > 0x91 || trail == 0x7F) return code;
      return 0x8440 + trail - (trail < 0x7F ? 0x70 : 0x71);
    case 0xFA:  // ⅰ-ⅹ
      return trail <= 0x49 ? kRomanOne + (trail - 0x40) : code;
    default:
      return code;
  }
}

bool is_second_byte(unsigned char b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

// Appends one part's key at key[*len]; false when width is too small.
bool append_part(const char* begin, size_t len, char* key, size_t width, size_t* at) {
  while (len > 0 && (begin[len - 1] == '.' || begin[len - 1] == ' '))  // never a second byte
    --len;
  if (len == 0) return true;
  if (*at > 0) {
    if (*at + 1 >= width) return false;
    key[(*at)++] = '\\';
  }
  for (size_t i = 0; i < len;) {
    auto b = static_cast<unsigned char>(begin[i]);
    bool pair = is_cp932_lead(b) && i + 1 < len && is_second_byte(begin[i + 1]);
    unsigned code = pair ? (b << 8) | static_cast<unsigned char>(begin[i + 1]) : b;
    unsigned folded = game_name_char(code);
    size_t bytes = pair ? 2 : 1;
    if (*at + bytes >= width) return false;
    if (pair) key[(*at)++] = static_cast<char>(folded >> 8);
    key[(*at)++] = static_cast<char>(folded & 0xFF);
    i += bytes;
  }
  return true;
}

}  // namespace

unsigned game_name_char(unsigned code) {
  return upper_case(round_trip(code));
}

bool game_file_key(const char* name, char* key, size_t width) {
  if (width == 0) return false;
  size_t at = 0;
  size_t start = 0;
  bool fits = true;
  for (size_t i = 0;; ++i) {
    auto b = static_cast<unsigned char>(name[i]);
    if (b == '\0' || is_separator(name[i])) {
      fits = fits && append_part(name + start, i - start, key, width, &at);
      if (b == '\0') break;
      start = i + 1;
    } else if (is_cp932_lead(b) && is_second_byte(name[i + 1])) {
      ++i;  // a second byte 0x5C is no separator
    }
  }
  key[at] = '\0';
  return fits;
}

bool same_game_file(const char* a, const char* b) {
  char key_a[1024];
  char key_b[1024];
  game_file_key(a, key_a, sizeof key_a);
  game_file_key(b, key_b, sizeof key_b);
  return strcmp(key_a, key_b) == 0;
}
